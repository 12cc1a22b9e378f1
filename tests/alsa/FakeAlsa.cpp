// A model of the kernel's sequencer and raw MIDI devices behind the libasound functions the MIDI
// backend calls; see FakeAlsa.h.
#include "FakeAlsa.h"

#include <alsa/asoundlib.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <string>

struct _snd_seq {
    int client = -1;
    int efd = -1;
    bool signalled = false;
    snd_seq_event_t current{};
    std::vector<uint8_t> currentData;
};
struct _snd_seq_client_info {
    int client;
    snd_seq_client_type_t type;
    int card;
};
struct _snd_seq_port_info {
    int client;
    int port;
    unsigned caps;
    char name[64];
};
struct _snd_rawmidi {
    int unused;
};
struct _snd_rawmidi_params {
    size_t bufferSize;
};
struct _snd_rawmidi_status {
    size_t avail;
};

namespace fake_alsa {
namespace {

constexpr int64_t kNs = 1000000000;
constexpr size_t kCellBytes = 28;
constexpr size_t kDefaultPoolCells = 200;
constexpr size_t kMaxPoolCells = 2000;

struct Event {
    snd_seq_event_t ev{};
    std::vector<uint8_t> data;
};

size_t Cells(const Event& e) {
    return 1 + (e.data.size() + kCellBytes - 1) / kCellBytes;
}

// A FIFO of pool cells as the kernel keeps one for each program.
struct Fifo {
    size_t capacity = kDefaultPoolCells;
    size_t used = 0;
    bool overflow = false;
    std::deque<Event> events;

    bool Push(Event e) {
        const size_t cells = Cells(e);
        if (used + cells > capacity) {
            overflow = true;
            return false;
        }
        used += cells;
        events.push_back(std::move(e));
        return true;
    }
    void Clear() {
        events.clear();
        used = 0;
    }
};

struct OwnPort {
    unsigned caps;
    std::string name;
};

struct Subscription {
    int senderClient, senderPort, destClient, destPort;
};

struct Model {
    std::mutex mutex;
    int64_t now = 0;
    // The hardware port's buffer and wire.
    size_t hardwareRate = 3125;
    bool hardwarePresent = true;
    std::deque<uint8_t> buffer;
    int64_t busySince = 0;   // when the wire started on the bytes now in the buffer
    uint64_t movedSince = 0; // bytes sent since then
    std::vector<uint8_t> wire;
    size_t wireTaken = 0;
    uint64_t dropped = 0;
    bool rawBusy = false;
    bool rawOpen = false;
    // Model Synth.
    size_t programRate = 0;
    Fifo programFifo;
    int64_t programReadSince = 0;
    std::vector<uint8_t> programReceived;
    uint64_t programOverflows = 0;
    // The editor.
    _snd_seq* editor = nullptr;
    Fifo editorFifo;
    uint64_t editorOverflows = 0;
    size_t editorPeak = 0;
    std::map<int, OwnPort> ownPorts;
    int nextPort = 0;
    std::vector<Subscription> subs;
    uint64_t outputCalls = 0;
    uint64_t refused = 0;

    bool BridgeOpen() const {
        return std::any_of(subs.begin(), subs.end(),
                           [](const Subscription& s) { return s.destClient == kHardwareClient; });
    }

    // Moves time on to t: the wire sends, Model Synth reads.
    void AdvanceTo(int64_t t) {
        if (t <= now) {
            return;
        }
        if (!buffer.empty()) {
            const uint64_t due =
                static_cast<uint64_t>((t - busySince) * int64_t(hardwareRate) / kNs);
            const uint64_t n = std::min<uint64_t>(due - movedSince, buffer.size());
            for (uint64_t i = 0; i < n; ++i) {
                wire.push_back(buffer.front());
                buffer.pop_front();
            }
            movedSince += n;
        }
        if (programRate > 0) {
            int64_t at = std::max(programReadSince, now);
            while (!programFifo.events.empty()) {
                const Event& e = programFifo.events.front();
                const int64_t done = at + int64_t(e.data.size()) * kNs / int64_t(programRate);
                if (done > t) {
                    break;
                }
                programReceived.insert(programReceived.end(), e.data.begin(), e.data.end());
                programFifo.used -= Cells(e);
                programFifo.events.pop_front();
                at = done;
            }
            programReadSince = programFifo.events.empty() ? t : at;
        }
        now = t;
    }

    // Time at which the buffer has room for n more bytes.
    int64_t RoomAt(size_t n) const {
        const size_t need = buffer.size() + n - kBridgeBufferBytes;
        const uint64_t target = movedSince + need;
        return busySince + int64_t((target * kNs + hardwareRate - 1) / hardwareRate);
    }

    size_t ToBuffer(const uint8_t* bytes, size_t n) {
        if (buffer.empty()) {
            busySince = now;
            movedSince = 0;
        }
        const size_t room = kBridgeBufferBytes - buffer.size();
        const size_t taken = std::min(room, n);
        buffer.insert(buffer.end(), bytes, bytes + taken);
        return taken;
    }

    void UpdatePoll() {
        if (!editor) {
            return;
        }
        const bool want = !editorFifo.events.empty() || editorFifo.overflow;
        uint64_t value = 1;
        if (want && !editor->signalled) {
            (void)!write(editor->efd, &value, sizeof value);
            editor->signalled = true;
        } else if (!want && editor->signalled) {
            (void)!read(editor->efd, &value, sizeof value);
            editor->signalled = false;
        }
    }

    bool ToEditor(Event e) {
        if (!editorFifo.Push(std::move(e))) {
            ++editorOverflows;
            UpdatePoll();
            return false;
        }
        editorPeak = std::max(editorPeak, editorFifo.used);
        UpdatePoll();
        return true;
    }
};

Model& M() {
    static Model model;
    return model;
}

class CVirtualClock : public CAlsaClock {
public:
    Duration Now() override {
        std::lock_guard<std::mutex> lock(M().mutex);
        return Duration(M().now);
    }
    void SleepUntil(Duration when) override {
        std::lock_guard<std::mutex> lock(M().mutex);
        M().AdvanceTo(when.count());
    }
};

const char* const kHardwareName = "Model MIDI 1";
const char* const kProgramName = "Model Synth";
constexpr unsigned kDeviceCaps = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_WRITE |
                                 SND_SEQ_PORT_CAP_SUBS_READ | SND_SEQ_PORT_CAP_SUBS_WRITE |
                                 SND_SEQ_PORT_CAP_DUPLEX;

} // namespace

void Reset(size_t hardwareBytesPerSecond, size_t programReadBytesPerSecond) {
    Model& m = M();
    std::lock_guard<std::mutex> lock(m.mutex);
    m.now = 0;
    m.hardwareRate = hardwareBytesPerSecond;
    m.hardwarePresent = true;
    m.buffer.clear();
    m.wire.clear();
    m.wireTaken = 0;
    m.dropped = 0;
    m.rawBusy = false;
    m.programRate = programReadBytesPerSecond;
    m.programFifo = Fifo();
    m.programReadSince = 0;
    m.programReceived.clear();
    m.programOverflows = 0;
    m.editorOverflows = 0;
    m.editorPeak = 0;
    m.outputCalls = 0;
    m.refused = 0;
}

void SetRawMidiBusy(bool busy) {
    std::lock_guard<std::mutex> lock(M().mutex);
    M().rawBusy = busy;
}

std::vector<uint8_t> Wire() {
    std::lock_guard<std::mutex> lock(M().mutex);
    return M().wire;
}

std::vector<uint8_t> TakeWire() {
    Model& m = M();
    std::lock_guard<std::mutex> lock(m.mutex);
    std::vector<uint8_t> bytes(m.wire.begin() + static_cast<std::ptrdiff_t>(m.wireTaken),
                               m.wire.end());
    m.wireTaken = m.wire.size();
    return bytes;
}

std::vector<uint8_t> ProgramReceived() {
    std::lock_guard<std::mutex> lock(M().mutex);
    return M().programReceived;
}

Stats GetStats() {
    Model& m = M();
    std::lock_guard<std::mutex> lock(m.mutex);
    Stats s;
    s.wireBytes = m.wire.size();
    s.droppedBytes = m.dropped;
    s.outputCalls = m.outputCalls;
    s.refusedEvents = m.refused;
    s.programOverflows = m.programOverflows;
    s.editorOverflows = m.editorOverflows;
    s.editorPoolCells = m.editorFifo.capacity;
    s.editorFifoPeak = m.editorPeak;
    for (const auto& [id, port] : m.ownPorts) {
        if (port.caps & (SND_SEQ_PORT_CAP_SUBS_READ | SND_SEQ_PORT_CAP_SUBS_WRITE)) {
            s.editorPortsExported = true;
        }
    }
    s.rawMidiOpen = m.rawOpen;
    return s;
}

std::chrono::nanoseconds Now() {
    std::lock_guard<std::mutex> lock(M().mutex);
    return std::chrono::nanoseconds(M().now);
}

size_t DeliverFromHardware(const std::vector<std::vector<uint8_t>>& pieces) {
    Model& m = M();
    std::lock_guard<std::mutex> lock(m.mutex);
    size_t refused = 0;
    for (const std::vector<uint8_t>& piece : pieces) {
        for (const Subscription& s : m.subs) {
            if (s.senderClient != kHardwareClient || s.destClient != kEditorClient) {
                continue;
            }
            Event e;
            e.ev.type = SND_SEQ_EVENT_SYSEX;
            e.ev.flags = SND_SEQ_EVENT_LENGTH_VARIABLE;
            e.ev.source = {kHardwareClient, 0};
            e.ev.dest = {kEditorClient, static_cast<unsigned char>(s.destPort)};
            e.data = piece;
            if (!m.ToEditor(std::move(e))) {
                ++refused;
            }
        }
    }
    return refused;
}

size_t EditorFifoUsed() {
    std::lock_guard<std::mutex> lock(M().mutex);
    return M().editorFifo.used;
}

void DeliverRealTimeFromHardware(uint8_t byte) {
    Model& m = M();
    std::lock_guard<std::mutex> lock(m.mutex);
    for (const Subscription& s : m.subs) {
        if (s.senderClient != kHardwareClient || s.destClient != kEditorClient) {
            continue;
        }
        Event e;
        e.ev.type = byte == 0xfe   ? SND_SEQ_EVENT_SENSING
                    : byte == 0xf8 ? SND_SEQ_EVENT_CLOCK
                    : byte == 0xfa ? SND_SEQ_EVENT_START
                    : byte == 0xfc ? SND_SEQ_EVENT_STOP
                                   : SND_SEQ_EVENT_RESET;
        e.ev.source = {kHardwareClient, 0};
        e.ev.dest = {kEditorClient, static_cast<unsigned char>(s.destPort)};
        m.ToEditor(std::move(e));
    }
}

void AnnounceForeignUnsubscription() {
    Model& m = M();
    std::lock_guard<std::mutex> lock(m.mutex);
    for (const Subscription& s : m.subs) {
        if (s.senderClient != SND_SEQ_CLIENT_SYSTEM) {
            continue;
        }
        Event e;
        e.ev.type = SND_SEQ_EVENT_PORT_UNSUBSCRIBED;
        e.ev.source = {SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE};
        e.ev.dest = {kEditorClient, static_cast<unsigned char>(s.destPort)};
        e.ev.data.connect.sender = {kHardwareClient, 0};
        e.ev.data.connect.dest = {kProgramClient, 0};
        m.ToEditor(std::move(e));
    }
}

void UnplugHardware() {
    Model& m = M();
    std::lock_guard<std::mutex> lock(m.mutex);
    m.hardwarePresent = false;
    m.buffer.clear();
    std::vector<Subscription> kept;
    int announcePort = -1;
    for (const Subscription& s : m.subs) {
        if (s.senderClient == SND_SEQ_CLIENT_SYSTEM) {
            announcePort = s.destPort;
        }
        if (s.senderClient != kHardwareClient && s.destClient != kHardwareClient) {
            kept.push_back(s);
            continue;
        }
        Event e;
        e.ev.type = SND_SEQ_EVENT_PORT_UNSUBSCRIBED;
        e.ev.source = {SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE};
        const int own = s.senderClient == kEditorClient ? s.senderPort : s.destPort;
        e.ev.dest = {kEditorClient, static_cast<unsigned char>(own)};
        e.ev.data.connect.sender = {static_cast<unsigned char>(s.senderClient),
                                    static_cast<unsigned char>(s.senderPort)};
        e.ev.data.connect.dest = {static_cast<unsigned char>(s.destClient),
                                  static_cast<unsigned char>(s.destPort)};
        m.ToEditor(std::move(e));
    }
    m.subs = kept;
    if (announcePort >= 0) {
        for (snd_seq_event_type_t type : {SND_SEQ_EVENT_PORT_EXIT, SND_SEQ_EVENT_CLIENT_EXIT}) {
            Event e;
            e.ev.type = type;
            e.ev.source = {SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE};
            e.ev.dest = {kEditorClient, static_cast<unsigned char>(announcePort)};
            e.ev.data.addr = {kHardwareClient, 0};
            m.ToEditor(std::move(e));
        }
    }
}

CAlsaClock& Clock() {
    static CVirtualClock clock;
    return clock;
}

} // namespace fake_alsa

using fake_alsa::M;

// ---- libasound ----

extern "C" {

int snd_lib_error_set_handler(snd_lib_error_handler_t) {
    return 0;
}

const char* snd_strerror(int errnum) {
    return strerror(errnum < 0 ? -errnum : errnum);
}

int snd_seq_open(snd_seq_t** handle, const char*, int, int) {
    auto& m = M();
    std::lock_guard<std::mutex> lock(m.mutex);
    if (m.editor) {
        return -EBUSY; // one editor client at a time in the model
    }
    auto* seq = new _snd_seq;
    seq->client = fake_alsa::kEditorClient;
    seq->efd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    m.editor = seq;
    m.editorFifo = fake_alsa::Fifo();
    m.ownPorts.clear();
    m.subs.clear();
    m.nextPort = 0;
    *handle = seq;
    return 0;
}

int snd_seq_close(snd_seq_t* handle) {
    auto& m = M();
    std::lock_guard<std::mutex> lock(m.mutex);
    m.subs.clear();
    m.ownPorts.clear();
    m.editor = nullptr;
    close(handle->efd);
    delete handle;
    return 0;
}

int snd_seq_nonblock(snd_seq_t*, int) {
    return 0;
}

int snd_seq_set_client_name(snd_seq_t*, const char*) {
    return 0;
}

int snd_seq_client_id(snd_seq_t* handle) {
    return handle->client;
}

int snd_seq_set_client_pool_input(snd_seq_t*, size_t size) {
    if (size < 1 || size > fake_alsa::kMaxPoolCells) {
        return -EINVAL;
    }
    std::lock_guard<std::mutex> lock(M().mutex);
    M().editorFifo.capacity = size;
    return 0;
}

int snd_seq_set_input_buffer_size(snd_seq_t*, size_t) {
    return 0;
}

int snd_seq_create_simple_port(snd_seq_t*, const char* name, unsigned int caps, unsigned int) {
    auto& m = M();
    std::lock_guard<std::mutex> lock(m.mutex);
    const int port = m.nextPort++;
    m.ownPorts[port] = {caps, name};
    return port;
}

int snd_seq_delete_simple_port(snd_seq_t*, int port) {
    auto& m = M();
    std::lock_guard<std::mutex> lock(m.mutex);
    m.ownPorts.erase(port);
    std::erase_if(m.subs, [&](const fake_alsa::Subscription& s) {
        return (s.senderClient == fake_alsa::kEditorClient && s.senderPort == port) ||
               (s.destClient == fake_alsa::kEditorClient && s.destPort == port);
    });
    return 0;
}

namespace {

bool PortExists(int client, int port) {
    auto& m = M();
    if (client == SND_SEQ_CLIENT_SYSTEM) {
        return port == 0 || port == SND_SEQ_PORT_SYSTEM_ANNOUNCE;
    }
    if (client == fake_alsa::kHardwareClient) {
        return m.hardwarePresent && port == 0;
    }
    return client == fake_alsa::kProgramClient && port == 0;
}

int Subscribe(int senderClient, int senderPort, int destClient, int destPort) {
    auto& m = M();
    std::lock_guard<std::mutex> lock(m.mutex);
    const int other = senderClient == fake_alsa::kEditorClient ? destClient : senderClient;
    const int otherPort = senderClient == fake_alsa::kEditorClient ? destPort : senderPort;
    if (!PortExists(other, otherPort)) {
        return -ENOENT;
    }
    if (destClient == fake_alsa::kHardwareClient && m.rawOpen) {
        return -EBUSY; // the bridge cannot open the raw device we hold
    }
    m.subs.push_back({senderClient, senderPort, destClient, destPort});
    return 0;
}

void Unsubscribe(int senderClient, int senderPort, int destClient, int destPort) {
    auto& m = M();
    std::lock_guard<std::mutex> lock(m.mutex);
    std::erase_if(m.subs, [&](const fake_alsa::Subscription& s) {
        return s.senderClient == senderClient && s.senderPort == senderPort &&
               s.destClient == destClient && s.destPort == destPort;
    });
}

} // namespace

int snd_seq_connect_from(snd_seq_t*, int myport, int src_client, int src_port) {
    return Subscribe(src_client, src_port, fake_alsa::kEditorClient, myport);
}

int snd_seq_connect_to(snd_seq_t*, int myport, int dest_client, int dest_port) {
    return Subscribe(fake_alsa::kEditorClient, myport, dest_client, dest_port);
}

int snd_seq_disconnect_from(snd_seq_t*, int myport, int src_client, int src_port) {
    Unsubscribe(src_client, src_port, fake_alsa::kEditorClient, myport);
    return 0;
}

int snd_seq_disconnect_to(snd_seq_t*, int myport, int dest_client, int dest_port) {
    Unsubscribe(fake_alsa::kEditorClient, myport, dest_client, dest_port);
    return 0;
}

size_t snd_seq_client_info_sizeof(void) {
    return sizeof(_snd_seq_client_info);
}

size_t snd_seq_port_info_sizeof(void) {
    return sizeof(_snd_seq_port_info);
}

void snd_seq_client_info_set_client(snd_seq_client_info_t* info, int client) {
    info->client = client;
}

int snd_seq_client_info_get_client(const snd_seq_client_info_t* info) {
    return info->client;
}

snd_seq_client_type_t snd_seq_client_info_get_type(const snd_seq_client_info_t* info) {
    return info->type;
}

int snd_seq_client_info_get_card(const snd_seq_client_info_t* info) {
    return info->card;
}

int snd_seq_query_next_client(snd_seq_t*, snd_seq_client_info_t* info) {
    std::lock_guard<std::mutex> lock(M().mutex);
    std::vector<int> clients = {SND_SEQ_CLIENT_SYSTEM};
    if (M().hardwarePresent) {
        clients.push_back(fake_alsa::kHardwareClient);
    }
    clients.push_back(fake_alsa::kEditorClient);
    clients.push_back(fake_alsa::kProgramClient);
    for (int c : clients) {
        if (c > info->client) {
            info->client = c;
            info->type = c == fake_alsa::kProgramClient || c == fake_alsa::kEditorClient
                             ? SND_SEQ_USER_CLIENT
                             : SND_SEQ_KERNEL_CLIENT;
            info->card = c == fake_alsa::kHardwareClient ? 1 : -1;
            return 0;
        }
    }
    return -ENOENT;
}

void snd_seq_port_info_set_client(snd_seq_port_info_t* info, int client) {
    info->client = client;
}

void snd_seq_port_info_set_port(snd_seq_port_info_t* info, int port) {
    info->port = port;
}

int snd_seq_port_info_get_port(const snd_seq_port_info_t* info) {
    return info->port;
}

unsigned int snd_seq_port_info_get_capability(const snd_seq_port_info_t* info) {
    return info->caps;
}

const char* snd_seq_port_info_get_name(const snd_seq_port_info_t* info) {
    return info->name;
}

int snd_seq_query_next_port(snd_seq_t*, snd_seq_port_info_t* info) {
    auto& m = M();
    std::lock_guard<std::mutex> lock(m.mutex);
    if (info->client == SND_SEQ_CLIENT_SYSTEM && info->port < SND_SEQ_PORT_SYSTEM_ANNOUNCE) {
        info->port = info->port < 0 ? 0 : SND_SEQ_PORT_SYSTEM_ANNOUNCE;
        info->caps = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;
        std::snprintf(info->name, sizeof info->name, "%s", info->port ? "Announce" : "Timer");
        return 0;
    }
    if ((info->client == fake_alsa::kHardwareClient || info->client == fake_alsa::kProgramClient) &&
        info->port < 0) {
        info->port = 0;
        info->caps = fake_alsa::kDeviceCaps;
        std::snprintf(info->name, sizeof info->name, "%s",
                      info->client == fake_alsa::kHardwareClient ? fake_alsa::kHardwareName
                                                                 : fake_alsa::kProgramName);
        return 0;
    }
    if (info->client == fake_alsa::kEditorClient) {
        auto it = m.ownPorts.upper_bound(info->port);
        if (it != m.ownPorts.end()) {
            info->port = it->first;
            info->caps = it->second.caps;
            std::snprintf(info->name, sizeof info->name, "%s", it->second.name.c_str());
            return 0;
        }
    }
    return -ENOENT;
}

int snd_seq_event_output_direct(snd_seq_t*, snd_seq_event_t* ev) {
    auto& m = M();
    std::lock_guard<std::mutex> lock(m.mutex);
    ++m.outputCalls;
    const uint8_t* bytes = nullptr;
    size_t length = 0;
    uint8_t shortBytes[3];
    if (ev->type == SND_SEQ_EVENT_SYSEX) {
        bytes = static_cast<const uint8_t*>(ev->data.ext.ptr);
        length = ev->data.ext.len;
    } else if (ev->type == SND_SEQ_EVENT_NOTEON) {
        shortBytes[0] = static_cast<uint8_t>(0x90 | ev->data.note.channel);
        shortBytes[1] = ev->data.note.note;
        shortBytes[2] = ev->data.note.velocity;
        bytes = shortBytes;
        length = 3;
    }
    for (const fake_alsa::Subscription& s : m.subs) {
        if (s.senderClient != fake_alsa::kEditorClient || s.senderPort != ev->source.port) {
            continue;
        }
        if (s.destClient == fake_alsa::kHardwareClient) {
            // The bridge: whatever does not fit is dropped, and the write still succeeds.
            const size_t taken = m.ToBuffer(bytes, length);
            m.dropped += length - taken;
        } else if (s.destClient == fake_alsa::kProgramClient) {
            fake_alsa::Event e;
            e.ev = *ev;
            e.data.assign(bytes, bytes + length);
            if (!m.programFifo.Push(std::move(e))) {
                ++m.programOverflows;
                ++m.refused;
                return -EAGAIN;
            }
        }
    }
    return 1;
}

int snd_seq_poll_descriptors_count(snd_seq_t*, short) {
    return 1;
}

int snd_seq_poll_descriptors(snd_seq_t* handle, struct pollfd* pfds, unsigned int space,
                             short events) {
    if (space < 1) {
        return 0;
    }
    // Output is never held back by the sequencer: POLLOUT is always set.
    pfds[0].fd = handle->efd;
    pfds[0].events = events & POLLIN;
    pfds[0].revents = 0;
    return 1;
}

int snd_seq_event_input(snd_seq_t* handle, snd_seq_event_t** ev) {
    auto& m = M();
    std::lock_guard<std::mutex> lock(m.mutex);
    *ev = nullptr;
    if (m.editorFifo.overflow) {
        // Events were lost: the kernel empties the FIFO and says so once.
        m.editorFifo.overflow = false;
        m.editorFifo.Clear();
        m.UpdatePoll();
        return -ENOSPC;
    }
    if (m.editorFifo.events.empty()) {
        return -EAGAIN;
    }
    fake_alsa::Event e = std::move(m.editorFifo.events.front());
    m.editorFifo.used -= fake_alsa::Cells(e);
    m.editorFifo.events.pop_front();
    m.UpdatePoll();
    handle->currentData = std::move(e.data);
    handle->current = e.ev;
    if (handle->current.type == SND_SEQ_EVENT_SYSEX) {
        handle->current.data.ext.ptr = handle->currentData.data();
        handle->current.data.ext.len = static_cast<unsigned>(handle->currentData.size());
    }
    *ev = &handle->current;
    return 1;
}

// ---- raw MIDI: the hardware port's device ----

int snd_rawmidi_open(snd_rawmidi_t** in, snd_rawmidi_t** out, const char* name, int mode) {
    auto& m = M();
    std::lock_guard<std::mutex> lock(m.mutex);
    if (in || !out || std::strcmp(name, "hw:1,0,0") != 0 || !m.hardwarePresent) {
        return -ENOENT;
    }
    if (m.rawOpen || m.rawBusy || m.BridgeOpen()) {
        if (!(mode & SND_RAWMIDI_NONBLOCK)) {
            std::abort(); // a blocking open would hang for as long as the device is busy
        }
        return -EBUSY;
    }
    m.rawOpen = true;
    *out = new _snd_rawmidi;
    return 0;
}

int snd_rawmidi_nonblock(snd_rawmidi_t*, int) {
    return 0;
}

size_t snd_rawmidi_params_sizeof(void) {
    return sizeof(_snd_rawmidi_params);
}

int snd_rawmidi_params_current(snd_rawmidi_t*, snd_rawmidi_params_t* params) {
    params->bufferSize = fake_alsa::kBridgeBufferBytes;
    return 0;
}

size_t snd_rawmidi_params_get_buffer_size(const snd_rawmidi_params_t* params) {
    return params->bufferSize;
}

ssize_t snd_rawmidi_write(snd_rawmidi_t*, const void* buffer, size_t size) {
    auto& m = M();
    std::lock_guard<std::mutex> lock(m.mutex);
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    size_t written = 0;
    while (written < size) {
        if (!m.hardwarePresent) {
            return -ENODEV;
        }
        if (m.buffer.size() == fake_alsa::kBridgeBufferBytes) {
            m.AdvanceTo(m.RoomAt(1)); // blocks until the wire has made room
            continue;
        }
        written += m.ToBuffer(bytes + written, size - written);
    }
    return static_cast<ssize_t>(written);
}

size_t snd_rawmidi_status_sizeof(void) {
    return sizeof(_snd_rawmidi_status);
}

int snd_rawmidi_status(snd_rawmidi_t*, snd_rawmidi_status_t* status) {
    auto& m = M();
    std::lock_guard<std::mutex> lock(m.mutex);
    if (!m.hardwarePresent) {
        return -ENODEV;
    }
    status->avail = fake_alsa::kBridgeBufferBytes - m.buffer.size();
    return 0;
}

size_t snd_rawmidi_status_get_avail(const snd_rawmidi_status_t* status) {
    return status->avail;
}

int snd_rawmidi_drain(snd_rawmidi_t*) {
    auto& m = M();
    std::lock_guard<std::mutex> lock(m.mutex);
    if (!m.hardwarePresent) {
        return -ENODEV;
    }
    if (!m.buffer.empty()) {
        m.AdvanceTo(m.RoomAt(fake_alsa::kBridgeBufferBytes));
    }
    return 0;
}

int snd_rawmidi_close(snd_rawmidi_t* rawmidi) {
    auto& m = M();
    {
        std::lock_guard<std::mutex> lock(m.mutex);
        if (m.hardwarePresent && !m.buffer.empty()) {
            m.AdvanceTo(m.RoomAt(fake_alsa::kBridgeBufferBytes)); // closing drains
        }
        m.rawOpen = false;
    }
    delete rawmidi;
    return 0;
}

} // extern "C"
