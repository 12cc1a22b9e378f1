#include "platform/alsa/CAlsaVirtualMidiPort.h"

#include <alsa/asoundlib.h>
#include <poll.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "framework/EfTrace.h"
#include "platform/alsa/AlsaEventBytes.h"
#include "platform/alsa/CAlsaClock.h"
#include "platform/alsa/CAlsaOutputWire.h"

namespace {

constexpr unsigned kCaps = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ |
                           SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE |
                           SND_SEQ_PORT_CAP_DUPLEX;
constexpr int kPollMilliseconds = 100;
// Bytes sent under the lock at a time: one sequencer event.
constexpr size_t kPieceBytes = 256;

} // namespace

class CAlsaVirtualMidiPort::CImpl {
public:
    ~CImpl() { Close(); }

    bool Open(const std::string& clientName, const std::string& portName, size_t bytesPerSecond,
              CHfcMidiInputSink& sink, std::string& error) {
        std::lock_guard<std::mutex> lock(sendMutex_);
        int err = snd_seq_open(&seq_, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK);
        if (err < 0) {
            seq_ = nullptr;
            error = std::string("no ALSA sequencer: ") + snd_strerror(err);
            return false;
        }
        snd_seq_set_client_name(seq_, clientName.c_str());
        snd_seq_set_client_pool_input(seq_, 2000);
        port_ = snd_seq_create_simple_port(seq_, portName.c_str(), kCaps,
                                           SND_SEQ_PORT_TYPE_MIDI_GENERIC |
                                               SND_SEQ_PORT_TYPE_APPLICATION);
        if (port_ < 0) {
            error = "cannot create the sequencer port";
            snd_seq_close(seq_);
            seq_ = nullptr;
            return false;
        }
        if (bytesPerSecond > 0) {
            wire_ = std::make_unique<CAlsaSequencerWire>(
                [this](snd_seq_event_t& ev) { return Output(ev); }, CAlsaClock::Steady(),
                bytesPerSecond);
        }
        sink_ = &sink;
        running_ = true;
        thread_ = std::thread([this] { Run(); });
        return true;
    }

    bool Send(const uint8_t* bytes, size_t length) {
        // Piece by piece, so that Close never waits for more than one piece of a long dump.
        for (size_t pos = 0; pos < length; pos += kPieceBytes) {
            const size_t count = std::min(kPieceBytes, length - pos);
            std::lock_guard<std::mutex> lock(sendMutex_);
            if (!seq_ || !SendPiece(bytes + pos, count)) {
                return false;
            }
        }
        return true;
    }

    void Close() {
        if (running_.exchange(false)) {
            thread_.join();
        }
        // Under the send lock: the instrument's thread may be sending at this moment.
        std::lock_guard<std::mutex> lock(sendMutex_);
        wire_.reset();
        if (seq_) {
            snd_seq_close(seq_);
            seq_ = nullptr;
        }
    }

    std::string Address() const {
        std::lock_guard<std::mutex> lock(sendMutex_);
        return seq_ ? std::to_string(snd_seq_client_id(seq_)) + ":" + std::to_string(port_) : "";
    }

private:
    // Called with the send lock held.
    bool SendPiece(const uint8_t* bytes, size_t length) {
        if (wire_) {
            return wire_->Write(bytes, length) == 0;
        }
        snd_seq_event_t ev;
        snd_seq_ev_clear(&ev);
        if (!alsa_bytes::ToEvent(bytes, length, ev)) {
            snd_seq_ev_set_sysex(&ev, static_cast<unsigned>(length), const_cast<uint8_t*>(bytes));
        }
        return Output(ev) == 0;
    }

    // Called with the send lock held.
    int Output(snd_seq_event_t& ev) {
        snd_seq_ev_set_source(&ev, port_);
        snd_seq_ev_set_subs(&ev);
        snd_seq_ev_set_direct(&ev);
        const int err = snd_seq_event_output_direct(seq_, &ev);
        if (err < 0) {
            EfTrace("CAlsaVirtualMidiPort::Send - %s", snd_strerror(err));
        }
        return err < 0 ? err : 0;
    }

    void Run() {
        std::vector<pollfd> fds(static_cast<size_t>(snd_seq_poll_descriptors_count(seq_, POLLIN)));
        snd_seq_poll_descriptors(seq_, fds.data(), static_cast<unsigned>(fds.size()), POLLIN);
        while (running_) {
            if (poll(fds.data(), fds.size(), kPollMilliseconds) <= 0) {
                continue;
            }
            snd_seq_event_t* event = nullptr;
            int err;
            while ((err = snd_seq_event_input(seq_, &event)) >= 0 || err == -ENOSPC) {
                if (err == -ENOSPC) {
                    sink_->OnHfcMidiInputOverrun();
                    continue;
                }
                if (!event) {
                    break;
                }
                if (event->type == SND_SEQ_EVENT_SYSEX) {
                    sink_->OnHfcMidiInputData(static_cast<const uint8_t*>(event->data.ext.ptr),
                                              event->data.ext.len);
                    continue;
                }
                uint8_t bytes[3];
                if (const size_t n = alsa_bytes::FromEvent(*event, bytes)) {
                    sink_->OnHfcMidiInputData(bytes, n);
                }
            }
        }
    }

    snd_seq_t* seq_ = nullptr;
    int port_ = -1;
    std::unique_ptr<CAlsaSequencerWire> wire_;
    CHfcMidiInputSink* sink_ = nullptr;
    mutable std::mutex sendMutex_;
    std::atomic<bool> running_{false};
    std::thread thread_;
};

CAlsaVirtualMidiPort::CAlsaVirtualMidiPort() : impl_(std::make_unique<CImpl>()) {}

CAlsaVirtualMidiPort::~CAlsaVirtualMidiPort() = default;

bool CAlsaVirtualMidiPort::Open(const std::string& clientName, const std::string& portName,
                                size_t bytesPerSecond, CHfcMidiInputSink& sink,
                                std::string& error) {
    return impl_->Open(clientName, portName, bytesPerSecond, sink, error);
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
