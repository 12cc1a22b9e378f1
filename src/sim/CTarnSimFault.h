#pragma once

// What the virtual instrument gets wrong on purpose, so that tests can drive the editor's error
// paths. A fault is armed for one message: it fires on the first message of its stage (after
// skipping the given number of them) and then disarms, so the next transfer succeeds.
enum class CTarnSimFault {
    kNone,
    kBusyUsb,           // busy reply 28 instead of the answer
    kBusyRecording,     // busy reply 29 instead of the answer
    kErrorReply,        // error reply 22 instead of the answer
    kNoReply,           // nothing at all
    kIdentityMember1,   // identity reply with member code 1
    kIdentityForeign,   // identity reply of another family
    kSampleDataShort,   // sample data dump with 7 packed bytes missing
    kSampleDataHalfway, // sample data dump that stops halfway, without F7
};

// The editor's message a fault answers.
enum class CTarnSimStage {
    kInquiry,
    kGlobalRequest,
    kProgramRequest,
    kHeaderRequest,
    kSampleDataRequest,
    kGlobalDump,
    kProgramDump,
    kHeaderDump,
    kSampleDataDump,
    kAnyRequest, // any of the four requests
    kAnyDump,    // any of the four dumps
};

struct CTarnSimFaultPlan {
    CTarnSimFault fault = CTarnSimFault::kNone;
    CTarnSimStage stage = CTarnSimStage::kInquiry;
    int skip = 0; // matching messages answered normally before the fault fires
};
