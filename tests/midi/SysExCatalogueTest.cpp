#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "midi/CTarnSysExBuilder.h"
#include "midi/CTarnSysExIdentity.h"
#include "midi/CTarnSysExPacking.h"
#include "midi/CTarnSysExParser.h"

namespace {

using Bytes = std::vector<uint8_t>;
using P = CTarnSysExParser;

Bytes Iota(size_t n, uint8_t first) {
    Bytes b(n);
    std::iota(b.begin(), b.end(), first);
    return b;
}

// An instrument message: header with the given channel, function code, body, F7.
Bytes Instrument(uint8_t function, const Bytes& body, int channel = 0) {
    Bytes m(8 + body.size());
    const uint8_t header[] = {0xf0, 0x42,    static_cast<uint8_t>(0x30 | channel), 0x00, 0x01,
                              0x1b, function};
    std::copy(std::begin(header), std::end(header), m.begin());
    std::copy(body.begin(), body.end(), m.begin() + 7);
    m.back() = 0xf7;
    return m;
}

Bytes Identity(uint8_t deviceId, uint8_t member = 0, uint8_t family = 0x1b) {
    return {0xf0,   0x7e, deviceId, 0x06, 0x02, 0x42, family, 0x01,
            member, 0x00, 0x05,     0x01, 0x7f, 0x00, 0xf7};
}

TEST(SysExBuilder, RequestsAreByteExact) {
    EXPECT_EQ(CTarnSysExBuilder::DeviceInquiry(), (Bytes{0xf0, 0x7e, 0x7f, 0x06, 0x01, 0xf7}));
    EXPECT_EQ(CTarnSysExBuilder::GlobalDataDumpRequest(),
              (Bytes{0xf0, 0x42, 0x30, 0x00, 0x01, 0x1b, 0x0e, 0xf7}));
    EXPECT_EQ(CTarnSysExBuilder::ProgramMemoryDumpRequest(7),
              (Bytes{0xf0, 0x42, 0x30, 0x00, 0x01, 0x1b, 0x1c, 0x07, 0xf7}));
    EXPECT_EQ(CTarnSysExBuilder::SampleHeaderDumpRequest(3),
              (Bytes{0xf0, 0x42, 0x30, 0x00, 0x01, 0x1b, 0x1e, 0x03, 0xf7}));
    EXPECT_EQ(CTarnSysExBuilder::SampleDataRequest(),
              (Bytes{0xf0, 0x42, 0x30, 0x00, 0x01, 0x1b, 0x27, 0xf7}));
    // Numbers are kept to data bytes.
    EXPECT_EQ(CTarnSysExBuilder::ProgramMemoryDumpRequest(0x85)[7], 0x05);
}

TEST(SysExBuilder, DumpsFrameAndPackTheImages) {
    Bytes global = Iota(256, 0);
    Bytes g = CTarnSysExBuilder::GlobalDataDump(global);
    ASSERT_EQ(g.size(), 301u);
    EXPECT_EQ(Bytes(g.begin(), g.begin() + 7), (Bytes{0xf0, 0x42, 0x30, 0x00, 0x01, 0x1b, 0x51}));
    EXPECT_EQ(g.back(), 0xf7);
    Bytes unpacked(256);
    CTarnSysExPacking::Unpack(unpacked.data(), g.data() + 7, 256);
    EXPECT_EQ(unpacked, global);

    Bytes p = CTarnSysExBuilder::ProgramMemoryDump(0x86, Iota(30, 0x70));
    ASSERT_EQ(p.size(), 44u);
    EXPECT_EQ(p[6], 0x4c);
    EXPECT_EQ(p[7], 0x06);
    EXPECT_EQ(p.back(), 0xf7);

    Bytes h = CTarnSysExBuilder::SampleHeaderDump(2, Iota(16, 0xf0));
    ASSERT_EQ(h.size(), 28u);
    EXPECT_EQ(h[6], 0x4e);
    EXPECT_EQ(h[7], 0x02);

    Bytes d = CTarnSysExBuilder::SampleDataDump(Bytes(4, 0));
    EXPECT_EQ(d,
              (Bytes{0xf0, 0x42, 0x30, 0x00, 0x01, 0x1b, 0x4f, 0x00, 0x00, 0, 0, 0, 0, 0, 0xf7}));
    EXPECT_EQ(CTarnSysExBuilder::SampleDataDump(Bytes(1000)).size(),
              CTarnSysExPacking::PackedSize(1000) + 10);
    for (const Bytes& m : {g, p, h, d}) {
        EXPECT_EQ(std::count_if(m.begin(), m.end(), [](uint8_t b) { return b >= 0x80; }), 2);
    }
}

TEST(SysExBuilder, WrongImageSizesGiveNothing) {
    EXPECT_TRUE(CTarnSysExBuilder::GlobalDataDump(Bytes(255)).empty());
    EXPECT_TRUE(CTarnSysExBuilder::ProgramMemoryDump(0, Bytes(31)).empty());
    EXPECT_TRUE(CTarnSysExBuilder::SampleHeaderDump(0, Bytes()).empty());
}

TEST(SysExBuilder, ChannelPatchingFromTheIdentity) {
    CTarnSysExIdentity identity;
    ASSERT_TRUE(identity.Decode(Identity(0x05)));
    EXPECT_EQ(identity.channel, 5);
    Bytes request = CTarnSysExBuilder::GlobalDataDumpRequest();
    CTarnSysExBuilder::PatchChannel(request, identity.channel);
    EXPECT_EQ(request[2], 0x35);
    // Patching again replaces the nibble rather than adding to it.
    CTarnSysExBuilder::PatchChannel(request, 0x1a);
    EXPECT_EQ(request[2], 0x3a);
    // The inquiry and continuation pieces are never touched.
    Bytes inquiry = CTarnSysExBuilder::DeviceInquiry();
    CTarnSysExBuilder::PatchChannel(inquiry, 5);
    EXPECT_EQ(inquiry, CTarnSysExBuilder::DeviceInquiry());
    Bytes piece = {0x12, 0x42, 0x30, 0x00};
    CTarnSysExBuilder::PatchChannel(piece, 5);
    EXPECT_EQ(piece[2], 0x30);
}

TEST(SysExParser, KindsAndExactLengths) {
    struct Case {
        uint8_t function;
        size_t bodyLength;
        int kind;
    };
    const Case cases[] = {
        {0x21, 0, P::kCompletedReply},     {0x22, 0, P::kErrorReply},
        {0x01, 1, P::kFunction01},         {0x51, 293, P::kGlobalDataDump},
        {0x4c, 36, P::kProgramMemoryDump}, {0x4e, 20, P::kSampleHeaderDump},
        {0x27, 0, P::kReadyReply},         {0x28, 0, P::kBusyUsbOrCard},
        {0x29, 0, P::kBusyRecording},      {0x31, 10, P::kFunction31},
    };
    for (const Case& c : cases) {
        Bytes m = Instrument(c.function, Bytes(c.bodyLength, 0x11));
        EXPECT_EQ(P::Parse(m), c.kind) << int(c.function);
        EXPECT_EQ(P::RequiredLength(c.kind), m.size());
        Bytes longer = Instrument(c.function, Bytes(c.bodyLength + 1, 0x11));
        EXPECT_EQ(P::Parse(longer), P::kWrongLength) << int(c.function);
        if (c.bodyLength > 0) {
            Bytes shorter = Instrument(c.function, Bytes(c.bodyLength - 1, 0x11));
            EXPECT_EQ(P::Parse(shorter), P::kWrongLength) << int(c.function);
        }
    }
    EXPECT_EQ(P::Parse(Instrument(0x21, {}, 0x0c)), P::kCompletedReply);
    EXPECT_EQ(P::Parse(Instrument(0x77, {})), P::kUnknown);
    EXPECT_EQ(P::Parse(Bytes{0xf0, 0x43, 0x30, 0x00, 0x01, 0x1b, 0x21, 0xf7}), P::kUnknown);
    EXPECT_EQ(P::Parse(Bytes{0xf0, 0x42, 0x20, 0x00, 0x01, 0x1b, 0x21, 0xf7}), P::kUnknown);
    EXPECT_EQ(P::Parse(Bytes{0xf0, 0x42, 0x30, 0x00, 0x01, 0x1c, 0x21, 0xf7}), P::kUnknown);
    EXPECT_EQ(P::Parse(Bytes{0xf0, 0x42, 0x30, 0x00, 0x01, 0x1b}), P::kUnknown);
    EXPECT_EQ(P::Parse(Bytes{}), P::kUnknown);
    EXPECT_EQ(P::Parse(Bytes{0xf0}), P::kUnknown);
}

TEST(SysExParser, GlobalDumpOf300And302IsRefusedAndPayloadKept) {
    Bytes payload = {0xaa};
    EXPECT_EQ(P::Parse(Instrument(0x51, Bytes(292, 1)), &payload), P::kWrongLength);
    EXPECT_EQ(P::Parse(Instrument(0x51, Bytes(294, 1)), &payload), P::kWrongLength);
    EXPECT_EQ(payload, Bytes{0xaa});

    // Channel 5 is accepted although the editor talks on channel 0.
    Bytes image = Iota(256, 3);
    Bytes dump = CTarnSysExBuilder::GlobalDataDump(image);
    CTarnSysExBuilder::PatchChannel(dump, 5);
    ASSERT_EQ(P::Parse(dump, &payload), P::kGlobalDataDump);
    ASSERT_EQ(payload.size(), 293u);
    Bytes out(256);
    CTarnSysExPacking::Unpack(out.data(), payload.data(), 256);
    EXPECT_EQ(out, image);
}

TEST(SysExParser, PayloadSlots) {
    Bytes payload = {1, 2, 3};
    ASSERT_EQ(P::Parse(Instrument(0x21, {}), &payload), P::kCompletedReply);
    EXPECT_TRUE(payload.empty());

    Bytes pm = CTarnSysExBuilder::ProgramMemoryDump(4, Iota(30, 0x60));
    ASSERT_EQ(P::Parse(pm, &payload), P::kProgramMemoryDump);
    // The packed field and the trailing F7.
    EXPECT_EQ(payload, Bytes(pm.begin() + 8, pm.end()));

    ASSERT_EQ(P::Parse(Instrument(0x01, {0x55}), &payload), P::kFunction01);
    EXPECT_EQ(payload, Bytes{0x55});

    // A sample data dump's payload starts at byte 9 and never runs past the message.
    Bytes sd = CTarnSysExBuilder::SampleDataDump(Bytes(4, 0x81));
    ASSERT_EQ(P::Parse(sd, &payload), P::kSampleDataDump);
    EXPECT_EQ(payload, Bytes(sd.begin() + 9, sd.end()));
    ASSERT_EQ(P::Parse(Bytes{0xf0, 0x42, 0x30, 0x00, 0x01, 0x1b, 0x4f, 0x00, 0xf7}, &payload),
              P::kSampleDataDump);
    EXPECT_TRUE(payload.empty());
    EXPECT_EQ(P::Parse(Bytes{0xf0, 0x42, 0x30, 0x00, 0x01, 0x1b, 0x4f, 0xf7}), P::kWrongLength);
}

TEST(SysExParser, IdentityReplies) {
    Bytes payload;
    EXPECT_EQ(P::Parse(Identity(0x05), &payload), P::kIdentityReply);
    EXPECT_EQ(payload, (Bytes{0x42, 0x1b, 0x01, 0x00, 0x00, 0x05, 0x01, 0x7f, 0x00}));

    Bytes shortReply = Identity(0);
    shortReply.erase(shortReply.begin() + 13);
    EXPECT_EQ(P::Parse(shortReply), P::kUnknown);
    Bytes notReply = Identity(0);
    notReply[4] = 0x01;
    EXPECT_EQ(P::Parse(notReply), P::kUnknown);

    CTarnSysExIdentity identity;
    ASSERT_TRUE(identity.Decode(Identity(0x7f)));
    EXPECT_EQ(identity.channel, 15);
    EXPECT_EQ(identity.manufacturer, 0x42);
    EXPECT_EQ(identity.family, 155);
    EXPECT_EQ(identity.member, 0);
    EXPECT_EQ(identity.version1, 5 + 128);
    EXPECT_EQ(identity.version2, 127);
    EXPECT_TRUE(identity.IsTalvex());
    EXPECT_FALSE(identity.Decode(shortReply));
    EXPECT_EQ(identity.channel, 15);

    ASSERT_TRUE(identity.Decode(Identity(0x00, 1)));
    EXPECT_FALSE(identity.IsTalvex());
    EXPECT_FALSE(CTarnSysExIdentity::IsTalvexIdentityReply(Identity(0x00, 1)));
    EXPECT_FALSE(CTarnSysExIdentity::IsTalvexIdentityReply(Identity(0x00, 0, 0x1c)));
    EXPECT_TRUE(CTarnSysExIdentity::IsTalvexIdentityReply(Identity(0x33)));
    // The scanner looks only at the low seven bits of the member bytes.
    Bytes highMember = Identity(0);
    highMember[9] = 0x80;
    EXPECT_TRUE(CTarnSysExIdentity::IsTalvexIdentityReply(highMember));
    Bytes otherMaker = Identity(0);
    otherMaker[5] = 0x41;
    EXPECT_FALSE(CTarnSysExIdentity::IsTalvexIdentityReply(otherMaker));
    EXPECT_FALSE(CTarnSysExIdentity::IsTalvexIdentityReply(shortReply));
}

TEST(SysExParser, SampleDataSizes) {
    auto header = [](uint32_t numSamples) {
        Bytes h(16, 0);
        h[4] = uint8_t(numSamples >> 24);
        h[5] = uint8_t(numSamples >> 16);
        h[6] = uint8_t(numSamples >> 8);
        h[7] = uint8_t(numSamples);
        return h;
    };
    EXPECT_EQ(P::ExpectedSampleDataSize(header(1)), 4u);
    EXPECT_EQ(P::ExpectedSampleDataSize(header(1023)), 4u);
    EXPECT_EQ(P::ExpectedSampleDataSize(header(1024)), 8u);
    EXPECT_EQ(P::ExpectedSampleDataSize(header(424960u << 10)), 1699844u);
    EXPECT_EQ(P::ExpectedSampleDataSize(header(0)), 0u);
    EXPECT_EQ(P::ExpectedSampleDataSize(header(0x80000000u)), 0u);
    EXPECT_EQ(P::ExpectedSampleDataSize(Bytes(7)), 0u);
    // A 4-byte dump is 15 bytes long and carries exactly 4 bytes; 7 bytes too few do not match.
    EXPECT_EQ(P::SampleDataSizeOfDump(15), 4u);
    size_t full = CTarnSysExPacking::PackedSize(1699844) + 10;
    EXPECT_EQ(P::SampleDataSizeOfDump(full), 1699844u);
    EXPECT_NE(P::SampleDataSizeOfDump(full - 7), 1699844u);
    EXPECT_EQ(P::SampleDataSizeOfDump(10), 0u);
    EXPECT_EQ(P::SampleDataSizeOfDump(3), 0u);
}

} // namespace
