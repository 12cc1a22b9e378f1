#include "platform/alsa/CAlsaMidiDriver.h"

#include <alsa/asoundlib.h>
#include <poll.h>

#include <atomic>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

#include "framework/EfTrace.h"
#include "platform/alsa/AlsaEventBytes.h"
#include "platform/alsa/CAlsaClock.h"
#include "platform/alsa/CAlsaOutputWire.h"

namespace {

// What a device's port must offer to be listed.
constexpr unsigned kDeviceInputCaps = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;
constexpr unsigned kDeviceOutputCaps = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
// The editor's own ports carry no subscription rights: only the editor connects them, so no
// monitor, bridge or auto-connect script can join a dump.
constexpr unsigned kOwnInputCaps = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_NO_EXPORT;
constexpr unsigned kOwnOutputCaps = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_NO_EXPORT;
constexpr int kPollMilliseconds = 100;
// Input room in the kernel, in cells of 28 bytes: the kernel's maximum, about 40 ms of a
// full-speed USB dump, so the input thread never falls behind on a busy desktop.
constexpr size_t kInputPoolCells = 2000;
constexpr size_t kInputBufferBytes = 256 * 1024;
// The kernel numbers a card's MIDI ports device * 32 + subdevice.
constexpr int kPortsPerRawMidiDevice = 32;

// libasound reports to stderr by default; its messages belong in the diagnostic trace.
void AlsaErrorToTrace(const char* file, int line, const char* function, int err, const char* fmt,
                      ...) {
    char text[512];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    EfTrace("ALSA %s:%d (%s) %s%s%s", file, line, function, text, err ? ": " : "",
            err ? snd_strerror(err) : "");
}

struct PortAddress {
    int client = -1;
    int port = -1;
    bool hardware = false; // a kernel client's port
    int card = -1;         // its sound card, when known
    CHfcMidiDeviceInfo info;

    bool Is(int c, int p) const { return client == c && (p < 0 || port == p); }
};

} // namespace

// An open output: a writer thread takes the queued pieces in order, writes each to the wire and
// reports it done once the wire has sent it.
class CAlsaOutput {
public:
    CAlsaOutput(std::unique_ptr<CAlsaOutputWire> wire, int own, PortAddress device,
                CHfcMidiOutputSink& sink)
        : wire_(std::move(wire)), own_(own), device_(std::move(device)), sink_(sink),
          writer_([this] { Run(); }) {}

    ~CAlsaOutput() {
        std::deque<std::vector<uint8_t>> dropped;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            dropped.swap(queue_);
            stop_ = true;
        }
        changed_.notify_all();
        writer_.join();
        if (lost_) {
            return;
        }
        // What the wire holds goes out; what never reached it is reported like sent.
        for (const Pending& p : pending_) {
            sink_.OnHfcMidiOutputDone(p.length);
        }
        for (const std::vector<uint8_t>& piece : dropped) {
            sink_.OnHfcMidiOutputDone(piece.size());
        }
        if (sysExOpen_) {
            // Ends the cut-short dump, so that the instrument does not go on collecting.
            static const uint8_t kEox = 0xf7;
            wire_->Write(&kEox, 1);
        }
    }

    const PortAddress& Device() const { return device_; }
    // The editor's port the output sends from; -1 when it writes to the raw device.
    int Own() const { return own_; }

    bool Send(const uint8_t* bytes, size_t length) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (lost_ || stop_) {
                return false;
            }
            queue_.emplace_back(bytes, bytes + length);
        }
        changed_.notify_all();
        return true;
    }

    // The device went away: nothing more is written or reported done.
    void Lose(const char* why) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (lost_) {
                return;
            }
            lost_ = true;
        }
        changed_.notify_all();
        EfTrace("CAlsaMidiDriver - output to %s lost: %s", device_.info.name.c_str(), why);
        sink_.OnHfcMidiOutputLost();
    }

private:
    struct Pending {
        uint64_t end;
        size_t length;
    };

    void Run() {
        for (;;) {
            std::vector<uint8_t> piece;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [this] {
                    return stop_ || lost_ || !queue_.empty() || !pending_.empty();
                });
                if (stop_ || lost_) {
                    return;
                }
                if (!queue_.empty()) {
                    piece = std::move(queue_.front());
                    queue_.pop_front();
                }
            }
            if (piece.empty()) {
                // Nothing more to write: wait for the wire, then report the rest.
                if (const int err = wire_->Drain(); err < 0) {
                    Lose(snd_strerror(err));
                    return;
                }
                ReportUpTo(written_);
                continue;
            }
            if (const int err = wire_->Write(piece.data(), piece.size()); err < 0) {
                Lose(snd_strerror(err));
                return;
            }
            for (uint8_t byte : piece) {
                // Real-time bytes leave a SysEx message open; any other status byte ends it.
                if (byte >= 0x80 && byte < 0xf8) {
                    sysExOpen_ = byte == 0xf0;
                }
            }
            written_ += piece.size();
            pending_.push_back({written_, piece.size()});
            ReportUpTo(wire_->Sent());
        }
    }

    void ReportUpTo(uint64_t sent) {
        while (!pending_.empty() && pending_.front().end <= sent) {
            const size_t length = pending_.front().length;
            pending_.pop_front();
            sink_.OnHfcMidiOutputDone(length);
        }
    }

    std::unique_ptr<CAlsaOutputWire> wire_;
    const int own_;
    const PortAddress device_;
    CHfcMidiOutputSink& sink_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<uint8_t>> queue_;
    bool stop_ = false;
    std::atomic<bool> lost_{false};

    // The writer thread's own, until it has been joined.
    std::deque<Pending> pending_;
    uint64_t written_ = 0;
    bool sysExOpen_ = false;

    std::thread writer_;
};

class CAlsaMidiDriver::CImpl {
public:
    explicit CImpl(const Options& options)
        : options_(options), clock_(options.clock ? *options.clock : CAlsaClock::Steady()) {
        snd_lib_error_set_handler(AlsaErrorToTrace);
        int err = snd_seq_open(&seq_, "default", SND_SEQ_OPEN_DUPLEX, 0);
        if (err < 0) {
            EfTrace("CAlsaMidiDriver - no ALSA sequencer: %s", snd_strerror(err));
            seq_ = nullptr;
            return;
        }
        // Non-blocking, so that the input thread can stop; output paces itself.
        snd_seq_nonblock(seq_, 1);
        snd_seq_set_client_name(seq_, options_.clientName.c_str());
        self_ = snd_seq_client_id(seq_);
        if ((err = snd_seq_set_client_pool_input(seq_, kInputPoolCells)) < 0) {
            EfTrace("CAlsaMidiDriver - input pool: %s", snd_strerror(err));
        }
        if ((err = snd_seq_set_input_buffer_size(seq_, kInputBufferBytes)) < 0) {
            EfTrace("CAlsaMidiDriver - input buffer: %s", snd_strerror(err));
        }
        // Clients and ports that go away are announced here.
        announcePort_ = snd_seq_create_simple_port(seq_, "Announcements", kOwnInputCaps,
                                                   SND_SEQ_PORT_TYPE_APPLICATION);
        if (announcePort_ < 0 || snd_seq_connect_from(seq_, announcePort_, SND_SEQ_CLIENT_SYSTEM,
                                                      SND_SEQ_PORT_SYSTEM_ANNOUNCE) < 0) {
            EfTrace("CAlsaMidiDriver - no announcements: unplugged devices show late");
        }
        thread_ = std::thread([this] { InputThread(); });
    }

    ~CImpl() {
        if (thread_.joinable()) {
            stop_ = true;
            thread_.join();
        }
        if (seq_) {
            snd_seq_close(seq_);
        }
    }

    std::vector<PortAddress> List(unsigned caps) {
        std::vector<PortAddress> list;
        if (!seq_) {
            return list;
        }
        std::lock_guard<std::mutex> lock(seqMutex_);
        snd_seq_client_info_t* client;
        snd_seq_port_info_t* port;
        snd_seq_client_info_alloca(&client);
        snd_seq_port_info_alloca(&port);
        snd_seq_client_info_set_client(client, -1);
        while (snd_seq_query_next_client(seq_, client) >= 0) {
            const int id = snd_seq_client_info_get_client(client);
            if (id == SND_SEQ_CLIENT_SYSTEM || id == self_) {
                continue;
            }
            snd_seq_port_info_set_client(port, id);
            snd_seq_port_info_set_port(port, -1);
            while (snd_seq_query_next_port(seq_, port) >= 0) {
                const unsigned portCaps = snd_seq_port_info_get_capability(port);
                if ((portCaps & caps) != caps || (portCaps & SND_SEQ_PORT_CAP_NO_EXPORT)) {
                    continue;
                }
                PortAddress address;
                address.client = id;
                address.port = snd_seq_port_info_get_port(port);
                address.hardware = snd_seq_client_info_get_type(client) == SND_SEQ_KERNEL_CLIENT;
                address.card = snd_seq_client_info_get_card(client);
                address.info.index = static_cast<int>(list.size());
                address.info.name = snd_seq_port_info_get_name(port);
                list.push_back(std::move(address));
            }
        }
        return list;
    }

    // Creates one of our own ports and subscribes it to or from the device; -1 on failure.
    int Connect(unsigned ownCaps, const PortAddress& device, bool input, std::string& error) {
        std::lock_guard<std::mutex> lock(seqMutex_);
        const std::string name = (input ? "In from " : "Out to ") + device.info.name;
        const int own = snd_seq_create_simple_port(seq_, name.c_str(), ownCaps,
                                                   SND_SEQ_PORT_TYPE_MIDI_GENERIC |
                                                       SND_SEQ_PORT_TYPE_APPLICATION);
        if (own < 0) {
            error = snd_strerror(own);
            return -1;
        }
        const int err = input ? snd_seq_connect_from(seq_, own, device.client, device.port)
                              : snd_seq_connect_to(seq_, own, device.client, device.port);
        if (err < 0) {
            error = snd_strerror(err);
            snd_seq_delete_simple_port(seq_, own);
            return -1;
        }
        return own;
    }

    void Disconnect(int own, const PortAddress& device, bool input) {
        std::lock_guard<std::mutex> lock(seqMutex_);
        if (input) {
            snd_seq_disconnect_from(seq_, own, device.client, device.port);
        } else {
            snd_seq_disconnect_to(seq_, own, device.client, device.port);
        }
        snd_seq_delete_simple_port(seq_, own);
    }

    int OutputDirect(int own, snd_seq_event_t& ev) {
        std::lock_guard<std::mutex> lock(seqMutex_);
        snd_seq_ev_set_source(&ev, own);
        snd_seq_ev_set_subs(&ev);
        snd_seq_ev_set_direct(&ev);
        const int err = snd_seq_event_output_direct(seq_, &ev);
        if (err < 0) {
            EfTrace("CAlsaMidiDriver - output failed: %s", snd_strerror(err));
        }
        return err < 0 ? err : 0;
    }

    // The wire to a device: its raw MIDI device for hardware when free, else paced events from
    // an own port (-1 in own when none was made).
    std::unique_ptr<CAlsaOutputWire> OpenWire(const PortAddress& device, int& own,
                                              std::string& error) {
        own = -1;
        if (options_.useRawMidi && device.hardware && device.card >= 0) {
            char name[64];
            std::snprintf(name, sizeof name, "hw:%d,%d,%d", device.card,
                          device.port / kPortsPerRawMidiDevice,
                          device.port % kPortsPerRawMidiDevice);
            snd_rawmidi_t* raw = nullptr;
            // Opened non-blocking, since a blocking open waits for as long as the device is busy.
            const int err = snd_rawmidi_open(nullptr, &raw, name, SND_RAWMIDI_NONBLOCK);
            if (err >= 0) {
                if (CAlsaRawMidiWire* wire = CAlsaRawMidiWire::Create(raw)) {
                    return std::unique_ptr<CAlsaOutputWire>(wire);
                }
            }
            EfTrace("CAlsaMidiDriver - %s not free (%s): paced through the sequencer", name,
                    snd_strerror(err));
        }
        own = Connect(kOwnOutputCaps, device, false, error);
        if (own < 0) {
            return nullptr;
        }
        const size_t rate =
            device.hardware ? options_.hardwareBytesPerSecond : options_.programBytesPerSecond;
        const int port = own;
        return std::make_unique<CAlsaSequencerWire>(
            [this, port](snd_seq_event_t& ev) { return OutputDirect(port, ev); }, clock_, rate);
    }

    void AddInput(int own, const PortAddress& device, CHfcMidiInputSink* sink) {
        std::lock_guard<std::mutex> lock(inputMutex_);
        inputs_[own] = {sink, device, false};
    }

    // After this returns the sink is not called again.
    void RemoveInput(int own) {
        std::lock_guard<std::mutex> lock(inputMutex_);
        inputs_.erase(own);
    }

    void AddOutput(CAlsaOutput* output) {
        std::lock_guard<std::mutex> lock(outputMutex_);
        outputs_.push_back(output);
    }

    // After this returns the output is not told of anything again.
    void RemoveOutput(CAlsaOutput* output) {
        std::lock_guard<std::mutex> lock(outputMutex_);
        std::erase(outputs_, output);
    }

    snd_seq_t* seq_ = nullptr;

private:
    struct Input {
        CHfcMidiInputSink* sink;
        PortAddress device;
        bool lost;
    };

    void InputThread() {
        const int count = snd_seq_poll_descriptors_count(seq_, POLLIN);
        std::vector<pollfd> fds(static_cast<size_t>(std::max(count, 1)));
        const int used =
            snd_seq_poll_descriptors(seq_, fds.data(), static_cast<unsigned>(fds.size()), POLLIN);
        while (!stop_) {
            if (poll(fds.data(), static_cast<nfds_t>(used), kPollMilliseconds) <= 0) {
                continue;
            }
            while (!stop_) {
                snd_seq_event_t* ev = nullptr;
                const int err = snd_seq_event_input(seq_, &ev);
                if (err == -ENOSPC) {
                    // The kernel dropped events and emptied its queue: bytes are missing.
                    Overrun();
                    continue;
                }
                if (err < 0 || !ev) {
                    break;
                }
                Dispatch(*ev);
            }
        }
    }

    void Overrun() {
        EfTrace("CAlsaMidiDriver - input overrun, events lost");
        std::lock_guard<std::mutex> lock(inputMutex_);
        for (auto& [own, input] : inputs_) {
            input.sink->OnHfcMidiInputOverrun();
        }
    }

    // A device's client (port -1) or port went away.
    void DeviceGone(int client, int port, const char* why) {
        {
            std::lock_guard<std::mutex> lock(inputMutex_);
            for (auto& [own, input] : inputs_) {
                if (!input.lost && input.device.Is(client, port)) {
                    input.lost = true;
                    EfTrace("CAlsaMidiDriver - input from %s lost: %s",
                            input.device.info.name.c_str(), why);
                    input.sink->OnHfcMidiInputLost();
                }
            }
        }
        std::lock_guard<std::mutex> lock(outputMutex_);
        for (CAlsaOutput* output : outputs_) {
            if (output->Device().Is(client, port)) {
                output->Lose(why);
            }
        }
    }

    // A subscription of one of our open ports was removed.
    void OwnPortUnsubscribed(int own) {
        {
            std::lock_guard<std::mutex> lock(inputMutex_);
            auto it = inputs_.find(own);
            if (it != inputs_.end() && !it->second.lost) {
                it->second.lost = true;
                EfTrace("CAlsaMidiDriver - input from %s lost: unsubscribed",
                        it->second.device.info.name.c_str());
                it->second.sink->OnHfcMidiInputLost();
            }
        }
        std::lock_guard<std::mutex> lock(outputMutex_);
        for (CAlsaOutput* output : outputs_) {
            if (output->Own() == own) {
                output->Lose("unsubscribed");
            }
        }
    }

    void Dispatch(const snd_seq_event_t& ev) {
        switch (ev.type) {
        case SND_SEQ_EVENT_CLIENT_EXIT:
            DeviceGone(ev.data.addr.client, -1, "client ended");
            return;
        case SND_SEQ_EVENT_PORT_EXIT:
            DeviceGone(ev.data.addr.client, ev.data.addr.port, "port removed");
            return;
        case SND_SEQ_EVENT_PORT_UNSUBSCRIBED:
            // Announced for every subscription in the system; only ours matter, and our own
            // disconnections come after the port has left the lists.
            if (ev.data.connect.sender.client == self_) {
                OwnPortUnsubscribed(ev.data.connect.sender.port);
            } else if (ev.data.connect.dest.client == self_) {
                OwnPortUnsubscribed(ev.data.connect.dest.port);
            }
            return;
        default:
            break;
        }
        std::lock_guard<std::mutex> lock(inputMutex_);
        auto it = inputs_.find(ev.dest.port);
        // Only the device we subscribed to; ports are not exported, but anyone may still send
        // to an address directly.
        if (it == inputs_.end() || it->second.lost ||
            !it->second.device.Is(ev.source.client, ev.source.port)) {
            return;
        }
        if (ev.type == SND_SEQ_EVENT_SYSEX) {
            it->second.sink->OnHfcMidiInputData(static_cast<const uint8_t*>(ev.data.ext.ptr),
                                                ev.data.ext.len);
            return;
        }
        uint8_t bytes[3];
        if (const size_t length = alsa_bytes::FromEvent(ev, bytes)) {
            it->second.sink->OnHfcMidiInputData(bytes, length);
        }
    }

    const Options options_;
    CAlsaClock& clock_;
    int self_ = -1;
    int announcePort_ = -1;
    std::mutex seqMutex_;
    std::mutex inputMutex_;
    std::map<int, Input> inputs_;
    std::mutex outputMutex_;
    std::vector<CAlsaOutput*> outputs_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
};

namespace {

class CAlsaInputPort : public CHfcMidiInputPort {
public:
    CAlsaInputPort(std::shared_ptr<CAlsaMidiDriver::CImpl> impl, int own, PortAddress device)
        : impl_(std::move(impl)), own_(own), device_(std::move(device)) {}
    ~CAlsaInputPort() override {
        impl_->RemoveInput(own_);
        impl_->Disconnect(own_, device_, true);
    }

private:
    std::shared_ptr<CAlsaMidiDriver::CImpl> impl_;
    int own_;
    PortAddress device_;
};

class CAlsaOutputPort : public CHfcMidiOutputPort {
public:
    CAlsaOutputPort(std::shared_ptr<CAlsaMidiDriver::CImpl> impl, int own,
                    std::unique_ptr<CAlsaOutputWire> wire, const PortAddress& device,
                    CHfcMidiOutputSink& sink)
        : impl_(std::move(impl)), own_(own), device_(device),
          output_(std::make_unique<CAlsaOutput>(std::move(wire), own, device, sink)) {
        impl_->AddOutput(output_.get());
    }
    ~CAlsaOutputPort() override {
        impl_->RemoveOutput(output_.get());
        output_.reset();
        if (own_ >= 0) {
            impl_->Disconnect(own_, device_, false);
        }
    }

    bool Send(const uint8_t* bytes, size_t length) override {
        return bytes && length > 0 && output_->Send(bytes, length);
    }

private:
    std::shared_ptr<CAlsaMidiDriver::CImpl> impl_;
    int own_;
    PortAddress device_;
    std::unique_ptr<CAlsaOutput> output_;
};

std::vector<CHfcMidiDeviceInfo> Infos(const std::vector<PortAddress>& ports) {
    std::vector<CHfcMidiDeviceInfo> infos;
    for (const PortAddress& port : ports) {
        infos.push_back(port.info);
    }
    return infos;
}

CAlsaMidiDriver::Options NamedOptions(const char* clientName) {
    CAlsaMidiDriver::Options options;
    options.clientName = clientName;
    return options;
}

} // namespace

CAlsaMidiDriver::CAlsaMidiDriver(const char* clientName)
    : CAlsaMidiDriver(NamedOptions(clientName)) {}

CAlsaMidiDriver::CAlsaMidiDriver(const Options& options)
    : impl_(std::make_shared<CImpl>(options)) {}

CAlsaMidiDriver::~CAlsaMidiDriver() = default;

std::vector<CHfcMidiDeviceInfo> CAlsaMidiDriver::InputDevices() {
    return Infos(impl_->List(kDeviceInputCaps));
}

std::vector<CHfcMidiDeviceInfo> CAlsaMidiDriver::OutputDevices() {
    return Infos(impl_->List(kDeviceOutputCaps));
}

std::unique_ptr<CHfcMidiInputPort> CAlsaMidiDriver::OpenInput(int index, CHfcMidiInputSink& sink,
                                                              std::string& error) {
    if (!impl_->seq_) {
        error = "no ALSA sequencer";
        return nullptr;
    }
    std::vector<PortAddress> ports = impl_->List(kDeviceInputCaps);
    if (index < 0 || index >= static_cast<int>(ports.size())) {
        error = "no such ALSA input";
        return nullptr;
    }
    const PortAddress& device = ports[static_cast<size_t>(index)];
    const int own = impl_->Connect(kOwnInputCaps, device, true, error);
    if (own < 0) {
        return nullptr;
    }
    impl_->AddInput(own, device, &sink);
    return std::make_unique<CAlsaInputPort>(impl_, own, device);
}

std::unique_ptr<CHfcMidiOutputPort> CAlsaMidiDriver::OpenOutput(int index, CHfcMidiOutputSink& sink,
                                                                std::string& error) {
    if (!impl_->seq_) {
        error = "no ALSA sequencer";
        return nullptr;
    }
    std::vector<PortAddress> ports = impl_->List(kDeviceOutputCaps);
    if (index < 0 || index >= static_cast<int>(ports.size())) {
        error = "no such ALSA output";
        return nullptr;
    }
    const PortAddress& device = ports[static_cast<size_t>(index)];
    int own = -1;
    std::unique_ptr<CAlsaOutputWire> wire = impl_->OpenWire(device, own, error);
    if (!wire) {
        return nullptr;
    }
    return std::make_unique<CAlsaOutputPort>(impl_, own, std::move(wire), device, sink);
}
