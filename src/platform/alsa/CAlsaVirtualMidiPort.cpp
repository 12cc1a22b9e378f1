#include "platform/alsa/CAlsaVirtualMidiPort.h"

#include <alsa/asoundlib.h>
#include <poll.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "framework/EfTrace.h"

namespace {

constexpr unsigned kCaps = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ |
                           SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE |
                           SND_SEQ_PORT_CAP_DUPLEX;
constexpr size_t kEventBufferSize = 256;
constexpr int kPollMilliseconds = 100;

} // namespace

class CAlsaVirtualMidiPort::CImpl {
public:
    ~CImpl() { Close(); }

    bool Open(const std::string& clientName, const std::string& portName, CHfcMidiInputSink& sink,
              std::string& error) {
        int err = snd_seq_open(&seq_, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK);
        if (err < 0) {
            seq_ = nullptr;
            error = std::string("no ALSA sequencer: ") + snd_strerror(err);
            return false;
        }
        snd_seq_set_client_name(seq_, clientName.c_str());
        port_ = snd_seq_create_simple_port(seq_, portName.c_str(), kCaps,
                                           SND_SEQ_PORT_TYPE_MIDI_GENERIC |
                                               SND_SEQ_PORT_TYPE_APPLICATION);
        if (port_ < 0 || snd_midi_event_new(kEventBufferSize, &encoder_) < 0 ||
            snd_midi_event_new(kEventBufferSize, &decoder_) < 0) {
            error = "cannot create the sequencer port";
            Close();
            return false;
        }
        snd_midi_event_no_status(decoder_, 1);
        sink_ = &sink;
        running_ = true;
        thread_ = std::thread([this] { Run(); });
        return true;
    }

    bool Send(const uint8_t* bytes, size_t length) {
        std::lock_guard<std::mutex> lock(sendMutex_);
        if (!seq_) {
            return false;
        }
        for (size_t i = 0; i < length; ++i) {
            snd_seq_event_t event;
            snd_seq_ev_clear(&event);
            if (snd_midi_event_encode_byte(encoder_, bytes[i], &event) != 1) {
                continue; // the event is not complete yet
            }
            snd_seq_ev_set_source(&event, port_);
            snd_seq_ev_set_subs(&event);
            snd_seq_ev_set_direct(&event);
            int err;
            while ((err = snd_seq_event_output_direct(seq_, &event)) == -EAGAIN) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            if (err < 0) {
                EfTrace("CAlsaVirtualMidiPort::Send - %s", snd_strerror(err));
                return false;
            }
        }
        return true;
    }

    void Close() {
        if (running_.exchange(false)) {
            thread_.join();
        }
        if (encoder_) {
            snd_midi_event_free(encoder_);
            encoder_ = nullptr;
        }
        if (decoder_) {
            snd_midi_event_free(decoder_);
            decoder_ = nullptr;
        }
        if (seq_) {
            snd_seq_close(seq_);
            seq_ = nullptr;
        }
    }

    std::string Address() const {
        return seq_ ? std::to_string(snd_seq_client_id(seq_)) + ":" + std::to_string(port_) : "";
    }

private:
    void Run() {
        std::vector<pollfd> fds(static_cast<size_t>(snd_seq_poll_descriptors_count(seq_, POLLIN)));
        snd_seq_poll_descriptors(seq_, fds.data(), static_cast<unsigned>(fds.size()), POLLIN);
        uint8_t buffer[kEventBufferSize];
        while (running_) {
            if (poll(fds.data(), fds.size(), kPollMilliseconds) <= 0) {
                continue;
            }
            snd_seq_event_t* event = nullptr;
            while (snd_seq_event_input(seq_, &event) >= 0 && event) {
                if (event->type == SND_SEQ_EVENT_SYSEX) {
                    sink_->OnHfcMidiInputData(static_cast<const uint8_t*>(event->data.ext.ptr),
                                              event->data.ext.len);
                    continue;
                }
                const long n = snd_midi_event_decode(decoder_, buffer, sizeof buffer, event);
                if (n > 0) {
                    sink_->OnHfcMidiInputData(buffer, static_cast<size_t>(n));
                }
            }
        }
    }

    snd_seq_t* seq_ = nullptr;
    int port_ = -1;
    snd_midi_event_t* encoder_ = nullptr;
    snd_midi_event_t* decoder_ = nullptr;
    CHfcMidiInputSink* sink_ = nullptr;
    std::mutex sendMutex_;
    std::atomic<bool> running_{false};
    std::thread thread_;
};

CAlsaVirtualMidiPort::CAlsaVirtualMidiPort() : impl_(std::make_unique<CImpl>()) {}

CAlsaVirtualMidiPort::~CAlsaVirtualMidiPort() = default;

bool CAlsaVirtualMidiPort::Open(const std::string& clientName, const std::string& portName,
                                CHfcMidiInputSink& sink, std::string& error) {
    return impl_->Open(clientName, portName, sink, error);
}

bool CAlsaVirtualMidiPort::Send(const uint8_t* bytes, size_t length) {
    return impl_->Send(bytes, length);
}

void CAlsaVirtualMidiPort::Close() {
    impl_->Close();
}

std::string CAlsaVirtualMidiPort::Address() const {
    return impl_->Address();
}
