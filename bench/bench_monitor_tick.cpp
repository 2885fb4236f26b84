// One card monitor tick (the 100 ms check of the destination drive) against the Linux drive
// answers: on a made-up proc and sys tree with about 40 mounts and a card reader whose card
// is mounted on a real folder, and on this machine's own trees.
#include "core/CardMonitor.h"
#include "core/Module1.h"
#include "platform/linux/LinuxSystem.h"
#include "support/FakeForm.h"
#include "support/LoopCard.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/mount.h>

namespace {

namespace fs = std::filesystem;

void put(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

/// A desktop's worth of mounts: kernel file systems, cgroups, snaps, a few disks, and the
/// card reader sdb with its card's first partition on `card`.
std::string desktopMounts(const std::string& card) {
    std::string lines =
        "25 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw,errors=remount-ro\n"
        "26 25 0:24 / /sys rw,nosuid,nodev,noexec,relatime shared:7 - sysfs sysfs rw\n"
        "27 25 0:25 / /proc rw,nosuid,nodev,noexec,relatime shared:13 - proc proc rw\n"
        "28 25 0:5 / /dev rw,nosuid,relatime shared:2 - devtmpfs udev rw,size=8000000k\n"
        "29 28 0:26 / /dev/pts rw,nosuid,noexec,relatime shared:3 - devpts devpts rw\n"
        "30 25 0:27 / /run rw,nosuid,nodev,noexec,relatime shared:5 - tmpfs tmpfs rw\n"
        "31 26 0:6 / /sys/kernel/security rw shared:8 - securityfs securityfs rw\n"
        "32 28 0:28 / /dev/shm rw,nosuid,nodev shared:4 - tmpfs tmpfs rw\n"
        "33 30 0:29 / /run/lock rw,nosuid,nodev,noexec shared:6 - tmpfs tmpfs rw\n"
        "34 26 0:30 / /sys/fs/cgroup rw shared:9 - cgroup2 cgroup2 rw\n"
        "35 26 0:31 / /sys/fs/pstore rw shared:10 - pstore pstore rw\n"
        "36 26 0:32 / /sys/firmware/efi/efivars rw shared:11 - efivarfs efivarfs rw\n"
        "37 26 0:33 / /sys/fs/bpf rw shared:12 - bpf bpf rw,mode=700\n"
        "38 27 0:34 / /proc/sys/fs/binfmt_misc rw shared:14 - autofs systemd-1 rw\n"
        "39 28 0:35 / /dev/hugepages rw shared:15 - hugetlbfs hugetlbfs rw\n"
        "40 28 0:19 / /dev/mqueue rw shared:16 - mqueue mqueue rw\n"
        "41 26 0:7 / /sys/kernel/debug rw shared:17 - debugfs debugfs rw\n"
        "42 26 0:12 / /sys/kernel/tracing rw shared:18 - tracefs tracefs rw\n"
        "43 26 0:36 / /sys/fs/fuse/connections rw shared:19 - fusectl fusectl rw\n"
        "44 26 0:20 / /sys/kernel/config rw shared:20 - configfs configfs rw\n"
        "45 25 8:1 / /boot/efi rw,relatime shared:21 - vfat /dev/sda1 rw,fmask=0077\n"
        "46 25 8:3 / /home rw,relatime shared:22 - ext4 /dev/sda3 rw\n"
        "47 25 259:2 / /data rw,relatime shared:23 - ext4 /dev/nvme0n1p2 rw\n"
        "48 30 0:37 / /run/user/1000 rw,nosuid,nodev shared:24 - tmpfs tmpfs rw\n"
        "49 48 0:38 / /run/user/1000/gvfs rw shared:25 - fuse.gvfsd-fuse gvfsd-fuse rw\n"
        "50 48 0:39 / /run/user/1000/doc rw shared:26 - fuse.portal portal rw\n"
        "51 38 0:40 / /proc/sys/fs/binfmt_misc rw shared:27 - binfmt_misc binfmt_misc rw\n"
        "52 25 0:41 / /net/music rw shared:28 - nfs4 nas:/music rw\n";
    for (int i = 0; i < 11; ++i)
        lines += std::to_string(60 + i) + " 25 7:" + std::to_string(i) + " / /snap/core22/" +
                 std::to_string(1000 + i) + " ro,nodev,relatime shared:" + std::to_string(40 + i) +
                 " - squashfs /dev/loop" + std::to_string(i) + " ro\n";
    lines += "80 48 8:17 / " + card + " rw,nosuid,nodev,relatime shared:60 - vfat /dev/sdb1 rw\n";
    return lines;
}

class MadeUpTree {
public:
    MadeUpTree() {
        std::string base = (fs::temp_directory_path() / "velk-bench-XXXXXX").string();
        if (!::mkdtemp(base.data()))
            std::abort();
        m_base = base;
        const fs::path card = m_base / "card";
        fs::create_directories(card);
        // A 64 MB file system, so the card passes for a flash card; without root the folder
        // stays on its big disk, which costs the same but reads as no flash card.
        if (velk::test::LoopCard::enterPrivateMountNamespace().empty())
            ::mount("tmpfs", card.c_str(), "tmpfs", 0, "size=64m");
        const fs::path sdb = m_base / "sys/block/sdb";
        put(sdb / "removable", "1\n");
        put(sdb / "size", "15523840\n");
        put(sdb / "dev", "8:16\n");
        put(sdb / "sdb1/partition", "1\n");
        put(sdb / "sdb1/dev", "8:17\n");
        for (const char* sub : {"queue", "power", "holders", "slaves", "trace", "mq"})
            fs::create_directories(sdb / sub);
        const fs::path device =
            m_base / "sys/devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/6:0:0:0";
        put(device / "type", "0\n");
        fs::create_directory_symlink(fs::relative(device, sdb), sdb / "device");
        put(m_base / "proc/self/mountinfo", desktopMounts(card.string()));
    }
    ~MadeUpTree() {
        ::umount2((m_base / "card").c_str(), MNT_DETACH);
        std::error_code ignored;
        fs::remove_all(m_base, ignored);
    }

    [[nodiscard]] velk::LinuxSystem system() const {
        return velk::LinuxSystem((m_base / "proc").string(), (m_base / "sys").string());
    }

private:
    fs::path m_base;
};

void tick(benchmark::State& state, const velk::SystemPort& system, const std::string& drive) {
    velk::Module1 module;
    velk::test::FakeForm form;
    form.setText(velk::Control::Drive1, drive);
    velk::CardMonitor monitor(module, form, system);
    for (auto _ : state) {
        monitor.Timer1_Timer();
        benchmark::DoNotOptimize(module.cardBytes);
    }
    state.SetLabel(form.text(velk::Control::Label4));
}

void MadeUpCardReady(benchmark::State& state) {
    const MadeUpTree tree;
    const velk::LinuxSystem system = tree.system();
    tick(state, system, "/dev/sdb");
}
BENCHMARK(MadeUpCardReady)->Unit(benchmark::kMicrosecond);

void MadeUpFixedDrive(benchmark::State& state) {
    const MadeUpTree tree;
    const velk::LinuxSystem system = tree.system();
    tick(state, system, "/");
}
BENCHMARK(MadeUpFixedDrive)->Unit(benchmark::kMicrosecond);

void ThisMachineCurrentDrive(benchmark::State& state) {
    const velk::LinuxSystem system;
    tick(state, system, system.currentDrive());
}
BENCHMARK(ThisMachineCurrentDrive)->Unit(benchmark::kMicrosecond);

// The reader is a loop device passing for a removable disk, its card a real 8 MiB file system.
void ThisMachineLoopCard(benchmark::State& state) {
    if (const std::string why = velk::test::LoopCard::unavailableReason(); !why.empty()) {
        state.SkipWithError(why.c_str());
        return;
    }
    const velk::test::LoopCard card;
    const velk::LinuxSystem system;
    tick(state, system, card.device());
}
BENCHMARK(ThisMachineLoopCard)->Unit(benchmark::kMicrosecond);

} // namespace
