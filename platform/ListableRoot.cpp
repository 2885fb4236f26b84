#include "core/Texts.h"
#include "platform/Folders.h"

namespace velk {

RootFolder listableRoot(RootFolder root) {
    if (root.status != RootFolder::Status::ok)
        return root;
    const FolderListing listing = listFolder(root.path);
    if (!listing.listed)
        return {RootFolder::Status::failed,
                {},
                listing.error ? listing.error.message() : text::notAFolder};
    return root;
}

} // namespace velk
