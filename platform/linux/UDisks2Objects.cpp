#include "UDisks2Objects.h"

#include <cstring>

namespace velk::udisks2 {

namespace {

/// Reads the variant the reader stands at into `value` when it holds `signature`: 1 then, 0
/// when it holds something else and is left to be skipped.
template <typename T> int readVariant(sd_bus_message* m, const char* signature, T* value) {
    char type = 0;
    const char* contents = nullptr;
    int r = sd_bus_message_peek_type(m, &type, &contents);
    if (r < 0 || !contents || std::strcmp(contents, signature) != 0)
        return r < 0 ? r : 0;
    r = sd_bus_message_read(m, "v", signature, value);
    return r < 0 ? r : 1;
}

/// A byte string that ends in a NUL (UDisks2's device paths), from the variant the reader
/// stands at; 0 when the variant holds something else.
int readByteString(sd_bus_message* m, std::string& text) {
    char type = 0;
    const char* contents = nullptr;
    int r = sd_bus_message_peek_type(m, &type, &contents);
    if (r < 0 || !contents || std::strcmp(contents, "ay") != 0)
        return r < 0 ? r : 0;
    const void* bytes = nullptr;
    std::size_t size = 0;
    if ((r = sd_bus_message_enter_container(m, 'v', "ay")) < 0 ||
        (r = sd_bus_message_read_array(m, 'y', &bytes, &size)) < 0 ||
        (r = sd_bus_message_exit_container(m)) < 0)
        return r;
    text.assign(static_cast<const char*>(bytes), size);
    text.resize(std::strlen(text.c_str()));
    return 1;
}

/// An interface's properties, a{sv}: `read` is given each name with the reader at its value
/// and answers as readVariant does; what it does not read is skipped.
template <typename Read> int readProperties(sd_bus_message* m, Read read) {
    int r = sd_bus_message_enter_container(m, 'a', "{sv}");
    while (r >= 0 && (r = sd_bus_message_enter_container(m, 'e', "sv")) > 0) {
        const char* name = nullptr;
        if ((r = sd_bus_message_read(m, "s", &name)) < 0 || (r = read(name)) < 0 ||
            (r == 0 && (r = sd_bus_message_skip(m, "v")) < 0))
            return r;
        r = sd_bus_message_exit_container(m);
    }
    return r < 0 ? r : sd_bus_message_exit_container(m);
}

} // namespace

/// GetManagedObjects' answer, a{oa{sa{sv}}}: its block devices and drives.
int readTree(sd_bus_message* m, ObjectTree& tree) {
    int r = sd_bus_message_enter_container(m, 'a', "{oa{sa{sv}}}");
    while (r >= 0 && (r = sd_bus_message_enter_container(m, 'e', "oa{sa{sv}}")) > 0) {
        const char* path = nullptr;
        BlockObject object;
        bool isBlock = false;
        if ((r = sd_bus_message_read(m, "o", &path)) < 0 ||
            (r = sd_bus_message_enter_container(m, 'a', "{sa{sv}}")) < 0)
            return r;
        while ((r = sd_bus_message_enter_container(m, 'e', "sa{sv}")) > 0) {
            const char* interface = nullptr;
            if ((r = sd_bus_message_read(m, "s", &interface)) < 0)
                return r;
            if (std::strcmp(interface, blockInterface) == 0) {
                isBlock = true;
                r = readProperties(m, [&](const char* name) {
                    if (std::strcmp(name, "Device") == 0)
                        return readByteString(m, object.device);
                    const char* drive = nullptr;
                    const int read =
                        std::strcmp(name, "Drive") == 0 ? readVariant(m, "o", &drive) : 0;
                    if (read > 0)
                        object.drive = drive;
                    return read;
                });
            } else if (std::strcmp(interface, driveInterface) == 0) {
                r = readProperties(m, [&](const char* name) {
                    int canPowerOff = 0;
                    const int read = std::strcmp(name, "CanPowerOff") == 0
                                         ? readVariant(m, "b", &canPowerOff)
                                         : 0;
                    if (read > 0 && canPowerOff)
                        tree.drivesThatPowerOff.insert(path);
                    return read;
                });
            } else {
                object.hasFilesystem |= std::strcmp(interface, filesystemInterface) == 0;
                r = sd_bus_message_skip(m, "a{sv}");
            }
            if (r < 0 || (r = sd_bus_message_exit_container(m)) < 0)
                return r;
        }
        if (r < 0 || (r = sd_bus_message_exit_container(m)) < 0 ||
            (r = sd_bus_message_exit_container(m)) < 0)
            return r;
        if (isBlock) {
            object.path = path;
            tree.blocks.push_back(std::move(object));
        }
    }
    return r < 0 ? r : sd_bus_message_exit_container(m);
}

int askTree(sd_bus* bus, ObjectTree& tree, sd_bus_error* error) {
    sd_bus_message* reply = nullptr;
    int r = sd_bus_call_method(bus, service, root, "org.freedesktop.DBus.ObjectManager",
                               "GetManagedObjects", error, &reply, "");
    if (r >= 0)
        r = readTree(reply, tree);
    sd_bus_message_unref(reply);
    return r;
}

} // namespace velk::udisks2
