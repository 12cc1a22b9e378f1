#pragma once

#include <cstdint>

// Root of the error family thrown by file and MIDI operations. Thrown by value, caught as
// CEfException; the operation the user started calls Report and fails.
class CEfException {
public:
    explicit CEfException(int32_t code = 0) : code_(code) {}
    virtual ~CEfException() = default;
    CEfException(const CEfException&) = default;
    CEfException& operator=(const CEfException&) = default;

    virtual int32_t GetCode() const { return code_; }
    // Text of the error; the root class has none.
    virtual const char* GetMessage() const { return nullptr; }
    // Writes the diagnostic trace only; subclasses show the user a message box.
    virtual void Report() const;

private:
    int32_t code_;
};
