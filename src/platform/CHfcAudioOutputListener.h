#pragma once

// Told by an audio output when it has finished with a buffer that was written to it. The call
// comes from the output's own thread; the buffer's memory is free for the writer again.
class CHfcAudioOutputListener {
public:
    virtual void OnHfcAudioBufferDone(int bufferId) = 0;

protected:
    ~CHfcAudioOutputListener() = default;
};
