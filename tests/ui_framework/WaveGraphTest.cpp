#include <gtest/gtest.h>

#include "RecordingLayer.h"
#include "TestResources.h"
#include "data/CTarnSampleData.h"

namespace {

struct Graph {
    explicit Graph(int width = 400, int height = 80) {
        const CTarnControlWaveGraph::Description graphs[] = {
            {"WaveGraph", 0, 0, width, height, "WaveGraphImage"}};
        EXPECT_TRUE(layer.CreateWaveGraphs(graphs));
        graph = layer.FindControlAs<CTarnControlWaveGraph>("WaveGraph");
        bank.Initialize();
    }
    TestResources resources;
    RecordingLayer layer;
    CTarnControlWaveGraph* graph = nullptr;
    CTarnSampleData bank;
};

} // namespace

TEST(WaveGraph, ColumnsSpanTheirFramesAndAlwaysReachTheCentreLine) {
    Graph g;
    // Left: half of full scale throughout; right: full negative scale.
    for (int frame = 0; frame < 30000; ++frame) {
        g.bank.SetSample(frame, 0, 16383);
        g.bank.SetSample(frame, 1, -32767);
    }
    g.bank.SetTempo(120.0);
    g.bank.SetPhraseLength(4); // one beat: 24000 frames at 48 kHz
    g.bank.SetLoadedFrames(30000);
    ASSERT_EQ(g.bank.GetPlayFrames(), 24000);
    g.graph->SetSample(&g.bank);

    ASSERT_EQ(g.graph->LaneCount(), 2);
    // Lanes of 40, half 20: 20 * 16383 / 32767 = 9; the minimum stays 0.
    const auto& left = g.graph->LaneColumns(0);
    ASSERT_EQ(left.size(), 400u); // 60 frames per column
    EXPECT_EQ(left[0].top, 9);
    EXPECT_EQ(left[0].bottom, 0);
    const auto& right = g.graph->LaneColumns(1);
    EXPECT_EQ(right[399].top, 0);
    EXPECT_EQ(right[399].bottom, -20);
}

TEST(WaveGraph, SilenceDrawsOnePixelAndTheRangeEndsInTheCentreLine) {
    Graph g(800, 80);
    g.bank.SetChannels(1, true);
    g.bank.SetTempo(300.0);
    g.bank.SetPhraseLength(0); // 1/16 beat at 300 BPM: 600 frames
    g.bank.SetLoadedFrames(600);
    ASSERT_EQ(g.bank.GetPlayFrames(), 600);
    g.bank.SetSample(5, 0, 32767);
    g.bank.SetSample(6, 0, -32767);
    g.graph->SetSample(&g.bank);

    ASSERT_EQ(g.graph->LaneCount(), 1);
    const auto& columns = g.graph->LaneColumns(0);
    // One frame per column (at least 1), so 600 columns; the other 200 are the centre line.
    ASSERT_EQ(columns.size(), 600u);
    EXPECT_EQ(columns[0].top, 1); // silence: t = u + 1
    EXPECT_EQ(columns[0].bottom, 0);
    EXPECT_EQ(columns[5].top, 40);
    EXPECT_EQ(columns[5].bottom, 0);
    EXPECT_EQ(columns[6].top, 0);
    EXPECT_EQ(columns[6].bottom, -40);
}

TEST(WaveGraph, ColumnsChangeOnlyWhenThePageSaysTheAudioChanged) {
    Graph g;
    g.bank.SetTempo(120.0);
    g.bank.SetPhraseLength(4);
    g.bank.SetLoadedFrames(24000);
    g.graph->SetSample(&g.bank);
    EXPECT_EQ(g.graph->LaneColumns(0)[10].top, 1);
    for (int frame = 600; frame < 660; ++frame) {
        g.bank.SetSample(frame, 0, 32767);
    }
    g.graph->repaint();
    EXPECT_EQ(g.graph->LaneColumns(0)[10].top, 1);
    g.graph->SampleChanged();
    EXPECT_EQ(g.graph->LaneColumns(0)[10].top, 20);

    g.graph->SetSample(nullptr);
    EXPECT_TRUE(g.graph->LaneColumns(0).empty());
    EXPECT_EQ(g.graph->LaneCount(), 1);
}
