#pragma once

// What a backend module exports: a version function and one factory, all extern "C". The objects
// a factory makes cross into the program as C++ objects; the program and its modules come from
// one build, and the version keeps a module of another build from being used.

#define TALVEX_BACKEND_EXPORT extern "C" __attribute__((visibility("default")))

// Raise when an interface the modules implement (decoder, audio output, MIDI driver) changes.
constexpr int kHfcBackendAbiVersion = 1;

inline constexpr const char* kHfcBackendAbiSymbol = "TalvexBackendAbiVersion";
inline constexpr const char* kHfcCreateDecoderSymbol = "TalvexBackendCreateDecoder";
inline constexpr const char* kHfcCreateAudioOutputSymbol = "TalvexBackendCreateAudioOutput";
inline constexpr const char* kHfcCreateMidiDriverSymbol = "TalvexBackendCreateMidiDriver";
