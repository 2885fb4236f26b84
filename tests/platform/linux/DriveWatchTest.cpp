// What the kernel says when drives come or go, as the window hears it.
#include "platform/linux/DriveWatch.h"

#include <gtest/gtest.h>

#include <string>

namespace velk {
namespace {

using namespace std::string_literals;

TEST(DriveWatch, OnlyBlockDeviceEventsConcernDrives) {
    struct Case {
        std::string message;
        bool block;
    };
    const Case cases[] = {
        {"change@/devices/virtual/block/loop0\0ACTION=change\0DEVPATH=/devices/virtual/block/"
         "loop0\0"
         "SUBSYSTEM=block\0DEVNAME=loop0\0"s,
         true},
        {"add@/devices/pci0000:00/usb1/1-1/1-1:1.0/host6/target6:0:0/6:0:0:0/block/"
         "sdb\0ACTION=add\0"
         "SUBSYSTEM=block\0DEVTYPE=disk"s,
         true},
        {"add@/devices/pci0000:00/usb1/1-1\0ACTION=add\0SUBSYSTEM=usb\0DEVTYPE=usb_device\0"s,
         false},
        {"change@/devices/virtual/misc/x\0ACTION=change\0SUBSYSTEM=blocks\0"s, false},
        {"change@/devices/x\0DEVPATH=/SUBSYSTEM=block\0SUBSYSTEM=misc\0"s, false},
        // The header alone is no field.
        {"SUBSYSTEM=block"s, false},
        {""s, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DriveWatch::isBlockEvent(c.message), c.block) << c.message.substr(0, 40);
}

} // namespace
} // namespace velk
