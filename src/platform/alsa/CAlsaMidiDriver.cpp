#include "platform/alsa/CAlsaMidiDriver.h"

#include <alsa/asoundlib.h>
#include <poll.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <map>
#include <mutex>
#include <thread>

#include "framework/EfTrace.h"

namespace {

constexpr unsigned kInputCaps = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;
constexpr unsigned kOutputCaps = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
// Largest SysEx event sent at once; longer pieces go out as consecutive events.
constexpr size_t kMaxEventBytes = 256;
constexpr size_t kDecodeBufferSize = 256;
constexpr int kPollMilliseconds = 100;
// How often output waits kPollMilliseconds for room in the sequencer before it gives up.
constexpr int kOutputAttempts = 50;

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
    int client;
    int port;
    CHfcMidiDeviceInfo info;
};

} // namespace

class CAlsaMidiDriver::CImpl {
public:
    explicit CImpl(const char* clientName) {
        snd_lib_error_set_handler(AlsaErrorToTrace);
        int err = snd_seq_open(&seq_, "default", SND_SEQ_OPEN_DUPLEX, 0);
        if (err < 0) {
            EfTrace("CAlsaMidiDriver - no ALSA sequencer: %s", snd_strerror(err));
            seq_ = nullptr;
            return;
        }
        // Non-blocking, so that the input thread can stop; output waits for room itself.
        snd_seq_nonblock(seq_, 1);
        snd_seq_set_client_name(seq_, clientName);
        self_ = snd_seq_client_id(seq_);
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
            int id = snd_seq_client_info_get_client(client);
            if (id == SND_SEQ_CLIENT_SYSTEM || id == self_) {
                continue;
            }
            snd_seq_port_info_set_client(port, id);
            snd_seq_port_info_set_port(port, -1);
            while (snd_seq_query_next_port(seq_, port) >= 0) {
                unsigned portCaps = snd_seq_port_info_get_capability(port);
                if ((portCaps & caps) != caps || (portCaps & SND_SEQ_PORT_CAP_NO_EXPORT)) {
                    continue;
                }
                PortAddress address{id, snd_seq_port_info_get_port(port), {}};
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
        std::string name = (input ? "In from " : "Out to ") + device.info.name;
        int own = snd_seq_create_simple_port(seq_, name.c_str(), ownCaps,
                                             SND_SEQ_PORT_TYPE_MIDI_GENERIC |
                                                 SND_SEQ_PORT_TYPE_APPLICATION);
        if (own < 0) {
            error = snd_strerror(own);
            return -1;
        }
        int err = input ? snd_seq_connect_from(seq_, own, device.client, device.port)
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

    void AddInput(int own, CHfcMidiInputSink* sink) {
        snd_midi_event_t* decoder = nullptr;
        snd_midi_event_new(kDecodeBufferSize, &decoder);
        if (decoder) {
            snd_midi_event_no_status(decoder, 1);
        }
        {
            std::lock_guard<std::mutex> lock(inputMutex_);
            inputs_[own] = {sink, decoder};
        }
        std::lock_guard<std::mutex> lock(seqMutex_);
        if (!thread_.joinable()) {
            thread_ = std::thread([this] { InputThread(); });
        }
    }

    // After this returns the sink is not called again.
    void RemoveInput(int own) {
        std::lock_guard<std::mutex> lock(inputMutex_);
        auto it = inputs_.find(own);
        if (it != inputs_.end()) {
            if (it->second.decoder) {
                snd_midi_event_free(it->second.decoder);
            }
            inputs_.erase(it);
        }
    }

    bool Send(int own, const uint8_t* bytes, size_t length) {
        std::lock_guard<std::mutex> lock(seqMutex_);
        snd_seq_event_t ev;
        bool shortMessage = bytes[0] >= 0x80 && bytes[0] != 0xf0 && bytes[0] != 0xf7;
        if (shortMessage) {
            // Channel and system messages as proper events, so that any client understands them.
            snd_midi_event_t* encoder = nullptr;
            if (snd_midi_event_new(kDecodeBufferSize, &encoder) < 0) {
                return false;
            }
            bool ok = true;
            for (size_t pos = 0; pos < length && ok;) {
                snd_seq_ev_clear(&ev);
                long used = snd_midi_event_encode(encoder, bytes + pos, long(length - pos), &ev);
                if (used <= 0) {
                    break;
                }
                pos += size_t(used);
                if (ev.type != SND_SEQ_EVENT_NONE) {
                    ok = Emit(own, ev);
                }
            }
            snd_midi_event_free(encoder);
            return ok;
        }
        // SysEx and its continuation pieces travel as raw bytes, exactly as given.
        for (size_t pos = 0; pos < length;) {
            size_t count = std::min(kMaxEventBytes, length - pos);
            snd_seq_ev_clear(&ev);
            snd_seq_ev_set_sysex(&ev, static_cast<unsigned>(count),
                                 const_cast<uint8_t*>(bytes + pos));
            if (!Emit(own, ev)) {
                return false;
            }
            pos += count;
        }
        return true;
    }

    snd_seq_t* seq_ = nullptr;

private:
    struct Input {
        CHfcMidiInputSink* sink;
        snd_midi_event_t* decoder;
    };

    bool Emit(int own, snd_seq_event_t& ev) {
        snd_seq_ev_set_source(&ev, own);
        snd_seq_ev_set_subs(&ev);
        snd_seq_ev_set_direct(&ev);
        for (int attempt = 0; attempt < kOutputAttempts; ++attempt) {
            int err = snd_seq_event_output_direct(seq_, &ev);
            if (err >= 0) {
                return true;
            }
            if (err != -EAGAIN) {
                EfTrace("CAlsaMidiDriver - output failed: %s", snd_strerror(err));
                return false;
            }
            WaitForRoom();
        }
        EfTrace("CAlsaMidiDriver - output failed: %s", "the sequencer accepts no more events");
        return false;
    }

    void WaitForRoom() {
        int count = snd_seq_poll_descriptors_count(seq_, POLLOUT);
        std::vector<pollfd> fds(static_cast<size_t>(std::max(count, 1)));
        count =
            snd_seq_poll_descriptors(seq_, fds.data(), static_cast<unsigned>(fds.size()), POLLOUT);
        poll(fds.data(), static_cast<nfds_t>(count), kPollMilliseconds);
    }

    void InputThread() {
        int count = snd_seq_poll_descriptors_count(seq_, POLLIN);
        std::vector<pollfd> fds(static_cast<size_t>(std::max(count, 1)));
        count =
            snd_seq_poll_descriptors(seq_, fds.data(), static_cast<unsigned>(fds.size()), POLLIN);
        while (!stop_) {
            if (poll(fds.data(), static_cast<nfds_t>(count), kPollMilliseconds) <= 0) {
                continue;
            }
            for (;;) {
                snd_seq_event_t* ev = nullptr;
                int err = snd_seq_event_input(seq_, &ev);
                if (err == -ENOSPC) {
                    EfTrace("CAlsaMidiDriver - input overrun, events lost");
                    continue;
                }
                if (err < 0 || !ev || stop_) {
                    break;
                }
                Dispatch(*ev);
            }
        }
    }

    void Dispatch(const snd_seq_event_t& ev) {
        std::lock_guard<std::mutex> lock(inputMutex_);
        auto it = inputs_.find(ev.dest.port);
        if (it == inputs_.end()) {
            return;
        }
        if (ev.type == SND_SEQ_EVENT_SYSEX) {
            it->second.sink->OnHfcMidiInputData(static_cast<const uint8_t*>(ev.data.ext.ptr),
                                                ev.data.ext.len);
            return;
        }
        if (!it->second.decoder) {
            return;
        }
        unsigned char buffer[kDecodeBufferSize];
        long length = snd_midi_event_decode(it->second.decoder, buffer, sizeof buffer, &ev);
        if (length > 0) {
            it->second.sink->OnHfcMidiInputData(buffer, static_cast<size_t>(length));
        }
    }

    int self_ = -1;
    std::mutex seqMutex_;
    std::mutex inputMutex_;
    std::map<int, Input> inputs_;
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
    CAlsaOutputPort(std::shared_ptr<CAlsaMidiDriver::CImpl> impl, int own, PortAddress device,
                    CHfcMidiOutputSink& sink)
        : impl_(std::move(impl)), own_(own), device_(std::move(device)), sink_(sink) {}
    ~CAlsaOutputPort() override { impl_->Disconnect(own_, device_, false); }

    bool Send(const uint8_t* bytes, size_t length) override {
        if (!bytes || length == 0 || !impl_->Send(own_, bytes, length)) {
            return false;
        }
        // Direct output has handed the bytes to the sequencer when it returns.
        sink_.OnHfcMidiOutputDone(length);
        return true;
    }

private:
    std::shared_ptr<CAlsaMidiDriver::CImpl> impl_;
    int own_;
    PortAddress device_;
    CHfcMidiOutputSink& sink_;
};

} // namespace

CAlsaMidiDriver::CAlsaMidiDriver(const char* clientName)
    : impl_(std::make_shared<CImpl>(clientName)) {}

CAlsaMidiDriver::~CAlsaMidiDriver() = default;

namespace {

std::vector<CHfcMidiDeviceInfo> Infos(const std::vector<PortAddress>& ports) {
    std::vector<CHfcMidiDeviceInfo> infos;
    for (const PortAddress& port : ports) {
        infos.push_back(port.info);
    }
    return infos;
}

} // namespace

std::vector<CHfcMidiDeviceInfo> CAlsaMidiDriver::InputDevices() {
    return Infos(impl_->List(kInputCaps));
}

std::vector<CHfcMidiDeviceInfo> CAlsaMidiDriver::OutputDevices() {
    return Infos(impl_->List(kOutputCaps));
}

std::unique_ptr<CHfcMidiInputPort> CAlsaMidiDriver::OpenInput(int index, CHfcMidiInputSink& sink,
                                                              std::string& error) {
    if (!impl_->seq_) {
        error = "no ALSA sequencer";
        return nullptr;
    }
    std::vector<PortAddress> ports = impl_->List(kInputCaps);
    if (index < 0 || index >= static_cast<int>(ports.size())) {
        error = "no such ALSA input";
        return nullptr;
    }
    const PortAddress& device = ports[static_cast<size_t>(index)];
    int own = impl_->Connect(kOutputCaps, device, true, error);
    if (own < 0) {
        return nullptr;
    }
    impl_->AddInput(own, &sink);
    return std::make_unique<CAlsaInputPort>(impl_, own, device);
}

std::unique_ptr<CHfcMidiOutputPort> CAlsaMidiDriver::OpenOutput(int index, CHfcMidiOutputSink& sink,
                                                                std::string& error) {
    if (!impl_->seq_) {
        error = "no ALSA sequencer";
        return nullptr;
    }
    std::vector<PortAddress> ports = impl_->List(kOutputCaps);
    if (index < 0 || index >= static_cast<int>(ports.size())) {
        error = "no such ALSA output";
        return nullptr;
    }
    const PortAddress& device = ports[static_cast<size_t>(index)];
    int own = impl_->Connect(kInputCaps, device, false, error);
    if (own < 0) {
        return nullptr;
    }
    return std::make_unique<CAlsaOutputPort>(impl_, own, device, sink);
}
