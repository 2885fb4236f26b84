#include "UDisks2Mounter.h"

#include "UDisks2Objects.h"

#include "core/PlatformTexts.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <set>
#include <system_error>

#include <systemd/sd-bus.h>

namespace velk {

using namespace udisks2;

namespace {

constexpr const char* busyError = "org.freedesktop.UDisks2.Error.DeviceBusy";
constexpr const char* notMountedError = "org.freedesktop.UDisks2.Error.NotMounted";

std::string systemMessage(int negativeErrno) {
    return std::generic_category().message(-negativeErrno);
}

/// A bus that cannot be reached reads as no bus at all, whatever the socket said.
std::string busFailure(int negativeErrno) {
    if (negativeErrno == -ENOENT || negativeErrno == -ECONNREFUSED || negativeErrno == -ENOTCONN ||
        negativeErrno == -ECONNRESET)
        return text::mountNoBus;
    return systemMessage(negativeErrno);
}

/// The reason an error answer gives: UDisks2's own message, or that nobody answered.
std::string answerFailure(const sd_bus_error* error) {
    if (sd_bus_error_has_names(error, SD_BUS_ERROR_SERVICE_UNKNOWN, SD_BUS_ERROR_NAME_HAS_NO_OWNER))
        return text::mountNoUDisks;
    if (error->message && *error->message)
        return error->message;
    return error->name ? error->name : systemMessage(-EIO);
}

std::string answerFailure(sd_bus_message* reply) {
    return answerFailure(sd_bus_message_get_error(reply));
}

/// Why a call failed: the error's name (empty where the bus itself failed), and its reason.
struct CallFailure {
    std::string name;
    std::string reason;
};

/// Calls a method that takes only its a{sv} options, given none, and waits for the answer.
/// Nullopt when it was done.
std::optional<CallFailure> callWithoutOptions(sd_bus* bus, const std::string& path,
                                              const char* interface, const char* method) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    const int r = sd_bus_call_method(bus, service, path.c_str(), interface, method, &error, &reply,
                                     "a{sv}", 0);
    std::optional<CallFailure> failure;
    if (r < 0)
        failure = CallFailure{error.name ? error.name : "",
                              sd_bus_error_is_set(&error) ? answerFailure(&error) : busFailure(r)};
    sd_bus_error_free(&error);
    sd_bus_message_unref(reply);
    return failure;
}

} // namespace

UDisks2Mounter::~UDisks2Mounter() {
    for (auto& [disk, card] : m_cards)
        card.call = sd_bus_slot_unref(card.call);
    if (m_bus)
        sd_bus_close_unref(m_bus);
}

void UDisks2Mounter::request(const std::string& disk, std::uint64_t insertion,
                             const std::vector<std::string>& devices) {
    poll();
    if (asked(disk, insertion))
        return;
    forget(disk);
    Card& card = m_cards[disk];
    card.owner = this;
    card.insertion = insertion;
    card.devices = devices;
    if (!connect(card))
        return;
    // Which object holds the card's file system is only known from the whole tree.
    ask(card);
}

bool UDisks2Mounter::asked(const std::string& disk, std::uint64_t insertion) const {
    const auto it = m_cards.find(disk);
    return it != m_cards.end() && it->second.insertion == insertion;
}

void UDisks2Mounter::forget(const std::string& disk) {
    const auto it = m_cards.find(disk);
    if (it == m_cards.end())
        return;
    sd_bus_slot_unref(it->second.call);
    m_cards.erase(it);
}

std::string UDisks2Mounter::reason(const std::string& disk) const {
    const auto it = m_cards.find(disk);
    return it == m_cards.end() ? std::string() : it->second.reason;
}

sd_bus* UDisks2Mounter::bus(std::string& reason) {
    if (m_bus)
        return m_bus;
    // The connection and its handshake go on in the background; calls queue behind them.
    const int r = sd_bus_open_system(&m_bus);
    if (r < 0) {
        m_bus = nullptr;
        reason = busFailure(r);
        return nullptr;
    }
    // As a file manager does: the operator may be asked to authorise the mount.
    sd_bus_set_allow_interactive_authorization(m_bus, 1);
    return m_bus;
}

bool UDisks2Mounter::connect(Card& card) {
    return bus(card.reason) != nullptr;
}

void UDisks2Mounter::wait(std::chrono::microseconds timeout) {
    if (m_bus && sd_bus_wait(m_bus, static_cast<std::uint64_t>(
                                        std::max<std::int64_t>(timeout.count(), 0))) < 0)
        dropBus(text::mountNoBus);
    poll();
}

void UDisks2Mounter::leaveUnmounted(const std::string& disk, std::uint64_t insertion,
                                    const std::string& reason) {
    forget(disk);
    Card& card = m_cards[disk];
    card.owner = this;
    card.insertion = insertion;
    card.reason = reason;
}

// The object tree is asked again for each eject, as the card's devices come and go.
UDisks2Mounter::Unmounted UDisks2Mounter::unmount(const std::vector<std::string>& devices) {
    Unmounted result;
    result.unknown = devices;
    std::string reason;
    sd_bus* connection = bus(reason);
    if (!connection)
        return result;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    ObjectTree tree;
    if (const int r = askTree(connection, tree, &error); r < 0) {
        // No bus and no UDisks2 leave every device to the caller; any other answer is a refusal.
        if (!sd_bus_error_is_set(&error))
            dropBus(busFailure(r));
        else if (!sd_bus_error_has_names(&error, SD_BUS_ERROR_SERVICE_UNKNOWN,
                                         SD_BUS_ERROR_NAME_HAS_NO_OWNER))
            result.refusal = answerFailure(&error);
        sd_bus_error_free(&error);
        return result;
    }
    result.asked = true;
    result.unknown.clear();
    for (const std::string& device : devices) {
        const BlockObject* block = tree.filesystemOf(device);
        if (!block) {
            result.unknown.push_back(device);
            continue;
        }
        const auto failure =
            callWithoutOptions(connection, block->path, filesystemInterface, "Unmount");
        // Unmounted meanwhile by someone else: what was wanted.
        if (failure && failure->name != notMountedError) {
            result.refusal = failure->reason;
            result.busy = failure->name == busyError;
            return result;
        }
    }
    return result;
}

void UDisks2Mounter::powerOff(const std::string& device) {
    std::string reason;
    sd_bus* connection = bus(reason);
    ObjectTree tree;
    if (!connection || askTree(connection, tree, nullptr) < 0)
        return;
    for (const BlockObject& block : tree.blocks)
        if (block.device == device && tree.drivesThatPowerOff.contains(block.drive)) {
            (void)callWithoutOptions(connection, block.drive, driveInterface, "PowerOff");
            return;
        }
}

/// The bus calls back into the mounter through these, with the card as the user data.
struct BusAnswers {
    static int objects(sd_bus_message* reply, void* data, sd_bus_error*) {
        auto& card = *static_cast<UDisks2Mounter::Card*>(data);
        card.owner->onObjects(card, reply);
        return 0;
    }
    static int mount(sd_bus_message* reply, void* data, sd_bus_error*) {
        auto& card = *static_cast<UDisks2Mounter::Card*>(data);
        card.owner->onMount(card, reply);
        return 0;
    }
};

void UDisks2Mounter::ask(Card& card, const char* mountPath) {
    card.reason = text::mountPending;
    card.call = sd_bus_slot_unref(card.call);
    // Mount takes a{sv} options; none are given, so UDisks2 picks the usual ones.
    const int r =
        mountPath
            ? sd_bus_call_method_async(m_bus, &card.call, service, mountPath, filesystemInterface,
                                       "Mount", BusAnswers::mount, &card, "a{sv}", 0)
            : sd_bus_call_method_async(m_bus, &card.call, service, root,
                                       "org.freedesktop.DBus.ObjectManager", "GetManagedObjects",
                                       BusAnswers::objects, &card, "");
    // Also reached from inside an answer, where the bus must stay; poll() finds a broken one.
    if (r < 0)
        finish(card, busFailure(r));
}

void UDisks2Mounter::poll() {
    if (!m_bus)
        return;
    int r;
    while ((r = sd_bus_process(m_bus, nullptr)) > 0) {
    }
    if (r < 0)
        dropBus(busFailure(r));
}

void UDisks2Mounter::finish(Card& card, std::string reason) {
    card.call = sd_bus_slot_unref(card.call);
    card.reason = std::move(reason);
}

// A bus that failed is dropped whole; every question still open on it fails with it.
void UDisks2Mounter::dropBus(const std::string& reason) {
    for (auto& [disk, card] : m_cards)
        if (card.call || card.reason == text::mountPending)
            finish(card, reason);
    if (m_bus)
        m_bus = sd_bus_close_unref(m_bus);
}

void UDisks2Mounter::onObjects(Card& card, sd_bus_message* reply) {
    if (sd_bus_message_is_method_error(reply, nullptr)) {
        finish(card, answerFailure(reply));
        return;
    }
    ObjectTree tree;
    if (const int r = readTree(reply, tree); r < 0) {
        finish(card, systemMessage(r));
        return;
    }
    // The disk's own file system first, then its partitions in order, as the drive list does.
    for (const std::string& device : card.devices) {
        if (const BlockObject* block = tree.filesystemOf(device)) {
            ask(card, block->path.c_str());
            return;
        }
    }
    finish(card, text::mountNoFileSystem);
}

void UDisks2Mounter::onMount(Card& card, sd_bus_message* reply) {
    // A mount that worked shows in the mount table; only a refusal is worth keeping.
    finish(card,
           sd_bus_message_is_method_error(reply, nullptr) ? answerFailure(reply) : std::string());
}

} // namespace velk
