#include "UDisks2Mounter.h"

#include "core/Texts.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#include <systemd/sd-bus.h>

namespace velk {

namespace {

constexpr const char* service = "org.freedesktop.UDisks2";
constexpr const char* root = "/org/freedesktop/UDisks2";
constexpr const char* blockInterface = "org.freedesktop.UDisks2.Block";
constexpr const char* filesystemInterface = "org.freedesktop.UDisks2.Filesystem";

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
std::string answerFailure(sd_bus_message* reply) {
    const sd_bus_error* error = sd_bus_message_get_error(reply);
    if (sd_bus_error_has_names(error, SD_BUS_ERROR_SERVICE_UNKNOWN, SD_BUS_ERROR_NAME_HAS_NO_OWNER))
        return text::mountNoUDisks;
    if (error->message && *error->message)
        return error->message;
    return error->name ? error->name : systemMessage(-EIO);
}

/// A block device as the object tree describes it.
struct BlockObject {
    std::string path;
    std::string device;
    bool hasFilesystem = false;
};

/// Device, a byte string that ends in a NUL, from the Block interface's properties; the
/// reader stands at the interface's a{sv}.
int readDevice(sd_bus_message* m, std::string& device) {
    int r = sd_bus_message_enter_container(m, 'a', "{sv}");
    while (r >= 0 && (r = sd_bus_message_enter_container(m, 'e', "sv")) > 0) {
        const char* name = nullptr;
        char type = 0;
        const char* contents = nullptr;
        if ((r = sd_bus_message_read(m, "s", &name)) < 0 ||
            (r = sd_bus_message_peek_type(m, &type, &contents)) < 0)
            return r;
        if (std::strcmp(name, "Device") == 0 && contents && std::strcmp(contents, "ay") == 0) {
            const void* bytes = nullptr;
            std::size_t size = 0;
            if ((r = sd_bus_message_enter_container(m, 'v', "ay")) < 0 ||
                (r = sd_bus_message_read_array(m, 'y', &bytes, &size)) < 0 ||
                (r = sd_bus_message_exit_container(m)) < 0)
                return r;
            device.assign(static_cast<const char*>(bytes), size);
            device.resize(std::strlen(device.c_str()));
        } else if ((r = sd_bus_message_skip(m, "v")) < 0) {
            return r;
        }
        r = sd_bus_message_exit_container(m);
    }
    return r < 0 ? r : sd_bus_message_exit_container(m);
}

/// Every object of GetManagedObjects' answer, a{oa{sa{sv}}}, that is a block device.
int readBlocks(sd_bus_message* m, std::vector<BlockObject>& blocks) {
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
                r = readDevice(m, object.device);
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
            blocks.push_back(std::move(object));
        }
    }
    return r < 0 ? r : sd_bus_message_exit_container(m);
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

bool UDisks2Mounter::connect(Card& card) {
    if (m_bus)
        return true;
    // The connection and its handshake go on in the background; calls queue behind them.
    const int r = sd_bus_open_system(&m_bus);
    if (r < 0) {
        m_bus = nullptr;
        card.reason = busFailure(r);
        return false;
    }
    // As a file manager does: the operator may be asked to authorise the mount.
    sd_bus_set_allow_interactive_authorization(m_bus, 1);
    return true;
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
    const int r = mountPath
                      ? sd_bus_call_method_async(m_bus, &card.call, service, mountPath,
                                                 filesystemInterface, "Mount", BusAnswers::mount,
                                                 &card, "a{sv}", 0)
                      : sd_bus_call_method_async(m_bus, &card.call, service, root,
                                                 "org.freedesktop.DBus.ObjectManager",
                                                 "GetManagedObjects", BusAnswers::objects, &card, "");
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
    std::vector<BlockObject> blocks;
    if (const int r = readBlocks(reply, blocks); r < 0) {
        finish(card, systemMessage(r));
        return;
    }
    // The disk's own file system first, then its partitions in order, as the drive list does.
    for (const std::string& device : card.devices) {
        for (const BlockObject& block : blocks) {
            if (block.device == device && block.hasFilesystem) {
                ask(card, block.path.c_str());
                return;
            }
        }
    }
    finish(card, text::mountNoFileSystem);
}

void UDisks2Mounter::onMount(Card& card, sd_bus_message* reply) {
    // A mount that worked shows in the mount table; only a refusal is worth keeping.
    finish(card, sd_bus_message_is_method_error(reply, nullptr) ? answerFailure(reply)
                                                                : std::string());
}

} // namespace velk
