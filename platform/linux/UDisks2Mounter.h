#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct sd_bus;
struct sd_bus_message;
struct sd_bus_slot;

namespace velk {

/// Asks UDisks2, over the system D-Bus, to mount a card's file system, as a file manager does
/// when a card goes in. Nothing here waits: each question is sent and its answer handled by
/// a later call of `request`, so the 100 ms monitor that calls it never stalls on the bus.
/// The bus is opened at the first request; with no bus or no UDisks2 on it, the cards stay
/// as they are and the reason is kept. Not thread-safe: the monitor's thread alone uses it.
class UDisks2Mounter {
public:
    UDisks2Mounter() = default;
    ~UDisks2Mounter();
    UDisks2Mounter(const UDisks2Mounter&) = delete;
    UDisks2Mounter& operator=(const UDisks2Mounter&) = delete;

    /// Handles the answers that have arrived, then, unless this insertion of a card in
    /// `disk` was asked for already, asks UDisks2 to mount the first of `devices` (the disk's
    /// own device, then its partitions, "/dev/sdb", "/dev/sdb1") that holds a file system.
    /// `insertion` tells one insertion from the next.
    void request(const std::string& disk, std::uint64_t insertion,
                 const std::vector<std::string>& devices);
    /// True when this insertion of a card in `disk` was asked for already.
    [[nodiscard]] bool asked(const std::string& disk, std::uint64_t insertion) const;
    /// Handles the answers that have arrived.
    void poll();
    /// The card in `disk` has gone: a later card is a new insertion.
    void forget(const std::string& disk);
    /// Why the card in `disk` is not mounted: still being mounted, or what refused it.
    /// Empty when nothing was asked or the mount was done.
    [[nodiscard]] std::string reason(const std::string& disk) const;
    /// Waits up to `timeout` for an answer, and handles those that have arrived.
    void wait(std::chrono::microseconds timeout);
    /// This insertion of a card in `disk` stays unmounted for `reason` (it was ejected): it
    /// is not asked for, and the reason shows, until the card is taken out or asked for anew.
    void leaveUnmounted(const std::string& disk, std::uint64_t insertion,
                        const std::string& reason);

    /// How unmounting through UDisks2 went.
    struct Unmounted {
        /// False where there is no bus or no UDisks2 to ask.
        bool asked = false;
        /// Why UDisks2 left a device mounted; empty when it refused none.
        std::string refusal;
        /// The refusal was that the device is in use.
        bool busy = false;
        /// The devices given that UDisks2 knows no file system of; all of them when not asked.
        std::vector<std::string> unknown;
    };
    /// Asks UDisks2 to unmount the file system of each of `devices` ("/dev/sdb1") that it
    /// knows, in turn, and waits for each answer; stops at the first refusal.
    [[nodiscard]] Unmounted unmount(const std::vector<std::string>& devices);
    /// Asks UDisks2 to power off the drive of `device` ("/dev/sdb"), where it says the drive
    /// can be, and waits for the answer. A drive that cannot or will not stays as it is:
    /// its card is unmounted already, which is what makes it safe to pull.
    void powerOff(const std::string& device);

private:
    struct Card {
        UDisks2Mounter* owner = nullptr;
        std::uint64_t insertion = 0;
        std::vector<std::string> devices;
        std::string reason;
        sd_bus_slot* call = nullptr; ///< the question awaiting its answer, if any
    };

    /// The bus, opened when it is not yet; null with `reason` set when it cannot be.
    sd_bus* bus(std::string& reason);
    bool connect(Card& card);
    /// Sends GetManagedObjects to the object tree, or Mount to the object at `mountPath`.
    void ask(Card& card, const char* mountPath = nullptr);
    void finish(Card& card, std::string reason);
    void dropBus(const std::string& reason);
    void onObjects(Card& card, sd_bus_message* reply);
    void onMount(Card& card, sd_bus_message* reply);
    friend struct BusAnswers;

    sd_bus* m_bus = nullptr;
    /// Node-based, so the Card pointers handed to the bus stay valid while calls are pending.
    std::map<std::string, Card> m_cards;
};

} // namespace velk
