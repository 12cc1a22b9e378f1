#pragma once

// Told by the preview engine when the preview reached its end (one-shot) or wrapped to its start
// (looping). A preview also ends when the audio device fails under it or cannot be opened again
// for Play. Calls come from the rendering thread (from the thread calling Play when the device
// cannot be opened), with no engine lock held; a listener hands them on to the user-interface
// thread rather than touching windows there.
class CTarnAudioEngineListener {
public:
    virtual void OnTarnAudioPreviewFinished() = 0;
    virtual void OnTarnAudioPreviewLooped() = 0;

protected:
    ~CTarnAudioEngineListener() = default;
};
