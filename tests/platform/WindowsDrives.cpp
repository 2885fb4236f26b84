// Lists what the Windows drive answers say about every drive; built by the cross-build check
// and handy to run by hand on a Windows machine with a card reader.
#include "platform/System.h"

#include <cstdio>

int main() {
    const auto system = velk::makeSystem();
    std::printf("current drive: %s\n", system->currentDrive().c_str());
    for (const velk::DriveEntry& d : system->drives()) {
        const auto space = system->diskSpace(d.designation);
        const velk::RootFolder root = system->rootFolder(d.designation);
        std::printf("%-6s type %u  ", d.label.c_str(),
                    static_cast<unsigned>(system->driveType(d.designation)));
        if (space)
            std::printf("%u x %u x %u bytes  ", space->sectorsPerCluster, space->bytesPerSector,
                        space->totalClusters);
        else
            std::printf("no medium  ");
        std::printf("root %s\n", root.status == velk::RootFolder::Status::ok ? root.path.c_str()
                                                                             : root.reason.c_str());
    }
    return 0;
}
