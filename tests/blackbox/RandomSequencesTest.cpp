// KZ_RndFloat and KZ_RndInt through the export. The seed is the process clock
// at construction, so the tests read the random words back from the full
// integer range (number = minimum + word) and check what follows from them.
#include "LibraryFixture.h"

#include <climits>

using namespace testhost;

namespace {

constexpr int32_t minimumPin = 0, maximumPin = 1, outputPin = 2, nextPin = 3, previousPin = 4;

uint32_t xorshift32(uint32_t s) {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s;
}

class RandomSequences : public blackbox::LibraryTest {
protected:
    GuiModule fullRange() {
        GuiModule module = make(u"KZ_RndInt");
        module.receive(minimumPin, bytesOf(INT32_MIN));
        module.receive(maximumPin, bytesOf(INT32_MAX));
        return module;
    }
    // The outputs sent since the last call, as raw 32-bit words.
    std::vector<uint32_t> outputs() {
        std::vector<uint32_t> out;
        for (; seen < host.sent.size(); ++seen) {
            EXPECT_EQ(host.sent[seen].pinId, outputPin);
            out.push_back(valueOf<uint32_t>(host.sent[seen].bytes));
        }
        return out;
    }
    static uint32_t wordOf(uint32_t fullRangeNumber) { return fullRangeNumber ^ 0x80000000u; }

    size_t seen = 0;
};

TEST_F(RandomSequences, DrawsFollowTheXorshiftSequence) {
    GuiModule module = fullRange();
    for (int i = 0; i < 6; ++i)
        module.set(nextPin, true);
    const std::vector<uint32_t> drawn = outputs();
    ASSERT_EQ(drawn.size(), 6u);
    ASSERT_NE(wordOf(drawn[0]), 0u) << "seed 0 (the process clock read 0)";
    for (size_t i = 1; i < drawn.size(); ++i)
        EXPECT_EQ(wordOf(drawn[i]), xorshift32(wordOf(drawn[i - 1])));
}

TEST_F(RandomSequences, PreviousStepsBackAndNextReplaysBeforeDrawing) {
    GuiModule module = fullRange();
    module.set(previousPin, true);
    EXPECT_TRUE(outputs().empty()) << "nothing drawn yet";
    module.set(nextPin, true);
    module.set(nextPin, true);
    module.set(nextPin, true);
    const std::vector<uint32_t> d = outputs();
    ASSERT_EQ(d.size(), 3u);
    module.set(previousPin, true);
    module.set(previousPin, true);
    module.set(nextPin, true);
    module.set(nextPin, true);
    module.set(nextPin, true);
    const uint32_t d4 = xorshift32(wordOf(d[2])) ^ 0x80000000u;
    EXPECT_EQ(outputs(), (std::vector<uint32_t>{d[1], d[0], d[1], d[2], d4}));
}

TEST_F(RandomSequences, FalseReportsDoNothing) {
    GuiModule module = fullRange();
    module.set(nextPin, false);
    module.set(previousPin, false);
    module.set(nextPin, true);
    module.set(nextPin, false);
    module.set(previousPin, false);
    EXPECT_EQ(outputs().size(), 1u);
}

TEST_F(RandomSequences, SteppingBackAtTheFirstEntryResendsOnlyAChangedOutput) {
    GuiModule module = fullRange();
    module.set(nextPin, true);
    module.set(nextPin, true);
    module.set(previousPin, true);
    const std::vector<uint32_t> d = outputs();
    ASSERT_EQ(d.size(), 3u);
    module.set(previousPin, true); // at the first entry already, the output holds it
    EXPECT_TRUE(outputs().empty());
    module.receive(outputPin, bytesOf(int32_t(12345)));
    module.set(previousPin, true);
    EXPECT_EQ(outputs(), std::vector<uint32_t>{d[0]});
}

TEST_F(RandomSequences, ReplayedNumbersKeepTheRangeTheyWereDrawnIn) {
    GuiModule module = fullRange();
    module.set(nextPin, true);
    module.set(nextPin, true);
    const std::vector<uint32_t> d = outputs();
    module.set(previousPin, true);
    module.receive(minimumPin, bytesOf(int32_t(5)));
    module.receive(maximumPin, bytesOf(int32_t(5)));
    module.set(nextPin, true);
    module.set(nextPin, true);
    EXPECT_EQ(outputs(), (std::vector<uint32_t>{d[0], d[1], 5}));
}

struct FixedRange {
    int32_t minimum, maximum, number;
};

TEST_F(RandomSequences, IntEmptyOrReversedRangeGivesTheMaximum) {
    constexpr FixedRange ranges[] = {{5, 5, 5}, {8, 3, 3}, {INT32_MAX, INT32_MIN, INT32_MIN}};
    for (const FixedRange& r : ranges) {
        GuiModule module = make(u"KZ_RndInt");
        module.receive(minimumPin, bytesOf(r.minimum));
        module.receive(maximumPin, bytesOf(r.maximum));
        module.set(nextPin, true);
        module.set(nextPin, true); // equal to the output held: stored, not sent
        EXPECT_EQ(outputs(), std::vector<uint32_t>{uint32_t(r.number)});
    }
}

TEST_F(RandomSequences, ANumberEqualToTheOutputIsStoredButNotSent) {
    GuiModule module = make(u"KZ_RndInt"); // range 0..0: every number is 0
    module.set(nextPin, true);
    module.set(nextPin, true);
    EXPECT_TRUE(outputs().empty());
    module.receive(outputPin, bytesOf(int32_t(7)));
    module.set(previousPin, true);
    EXPECT_EQ(outputs(), std::vector<uint32_t>{0});
}

TEST_F(RandomSequences, IntNumbersStayWithinTheRange) {
    GuiModule module = make(u"KZ_RndInt");
    module.receive(minimumPin, bytesOf(int32_t(-3)));
    module.receive(maximumPin, bytesOf(int32_t(3)));
    for (int i = 0; i < 200; ++i) {
        module.receive(outputPin, bytesOf(int32_t(100))); // so that every number is sent
        module.set(nextPin, true);
    }
    const std::vector<uint32_t> drawn = outputs();
    ASSERT_EQ(drawn.size(), 200u);
    for (const uint32_t n : drawn) {
        EXPECT_GE(int32_t(n), -3);
        EXPECT_LE(int32_t(n), 3);
    }
}

TEST_F(RandomSequences, FloatNumbersStayWithinTheRangeAndReplayBitForBit) {
    GuiModule module = make(u"KZ_RndFloat");
    module.receive(minimumPin, bytesOf(-2.0f));
    module.receive(maximumPin, bytesOf(6.0f));
    for (int i = 0; i < 50; ++i)
        module.set(nextPin, true);
    const std::vector<uint32_t> drawn = outputs();
    ASSERT_FALSE(drawn.empty());
    for (const uint32_t bits : drawn) {
        float f;
        std::memcpy(&f, &bits, 4);
        EXPECT_GE(f, -2.0f);
        EXPECT_LE(f, 6.0f);
    }
    for (int i = 0; i < 49; ++i)
        module.set(previousPin, true);
    const std::vector<uint32_t> back = outputs();
    ASSERT_FALSE(back.empty());
    EXPECT_EQ(back.back(), drawn.front());
}

TEST_F(RandomSequences, FloatEmptyRangeGivesItsBound) {
    GuiModule module = make(u"KZ_RndFloat");
    module.receive(minimumPin, bytesOf(2.5f));
    module.receive(maximumPin, bytesOf(2.5f));
    module.set(nextPin, true);
    module.set(nextPin, true);
    EXPECT_EQ(outputs(), std::vector<uint32_t>{floatBits(2.5f)});
}

} // namespace
