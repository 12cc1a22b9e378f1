#pragma once

// Told by an audio output what becomes of the buffers written to it. Calls come from the
// output's own thread.
class CHfcAudioOutputListener {
public:
    // The output has finished with a buffer; its memory is free for the writer again.
    virtual void OnHfcAudioBufferDone(int bufferId) = 0;
    // The device failed (unplugged, sound server restarted): the output has stopped playing, no
    // buffer is reported done any more and Write fails; close it and open it again to go on.
    virtual void OnHfcAudioOutputFailed() {}

protected:
    ~CHfcAudioOutputListener() = default;
};
