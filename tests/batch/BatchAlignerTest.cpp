// Aligning batch trajectories on a common maturity grid: the grid that Init picks, the values
// Align interpolates (gaps, ends, the no-extrapolation option), the non-monotone failure, and the
// aligner's copies. Its section is checked by the golden files, the version table and the fuzz target.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "batch/BatchAligner.h"
#include "batchinfo/BatchQueries.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/notification/NCError.h"
#include "tests/TestStreams.h"

namespace {

constexpr float M = nc::kMissingValue;

NCDataVector<float> Vec(const std::vector<float>& values) {
    NCDataVector<float> v;
    v.CopyVector(values.data(), static_cast<int>(values.size()));
    return v;
}

NCIntegralVector<int, -99> Ints(const std::vector<int>& values) {
    NCIntegralVector<int, -99> v;
    for (const int value : values) v.push_back(value);
    return v;
}

std::vector<float> Values(const NCDataVector<float>* v) {
    return v ? std::vector<float>(v->data(), v->data() + v->size()) : std::vector<float>();
}

// An aligner whose grid is exactly `grid`: one batch whose maturity is the grid itself.
BatchAligner AlignerOn(const std::vector<float>& grid) {
    BatchAligner aligner;
    const NCDataVector<float> maturity = Vec(grid);
    const NCIntegralVector<int, -99> beginnings = Ints({1});
    aligner.Init(&maturity, &beginnings, false);
    EXPECT_EQ(Values(aligner.GetTimeMaturityVector()), grid);
    return aligner;
}

std::vector<float> Align(const BatchAligner& aligner, const std::vector<float>& y, const std::vector<float>& x) {
    NCDataVector<float> out;
    aligner.Align(y.data(), x.data(), static_cast<int>(y.size()), out);
    return Values(&out);
}

// Sets the process-wide option for one scope.
struct NoExtrapolation {
    explicit NoExtrapolation(bool on) { BatchAligner::SetExperimentalOptionNoExtrapolation(on); }
    ~NoExtrapolation() { BatchAligner::SetExperimentalOptionNoExtrapolation(false); }
};

}  // namespace

TEST(BatchAligner, ABatchAlignedOnItsOwnMaturityKeepsItsValues) {
    for (const bool rising : {true, false}) {
        std::vector<float> x{0.0f, 0.3f, 1.7f, 2.0f, 5.5f, 9.25f, 12.0f};
        if (!rising) std::reverse(x.begin(), x.end());
        const BatchAligner aligner = AlignerOn(x);
        EXPECT_EQ(aligner.IsAscending(), rising);
        EXPECT_EQ(aligner.GetStart(), x.front());
        EXPECT_EQ(aligner.GetEnd(), x.back());
        NCDataMatrix<float> data(7, 2);
        for (int r = 1; r <= 7; ++r) {
            data(r, 1, 100.0f / r);
            data(r, 2, r * r - 0.1f);
        }
        NCDataMatrix<float> out(3, 3, 1.0f);
        aligner.Align(data, Vec(x), out);
        EXPECT_EQ(out, data);
        const std::unique_ptr<NCDataVector<float>> column(aligner.Align(data.GetColumn(1), Vec(x)));
        EXPECT_EQ(*column, data.GetColumn(1));
    }
}

TEST(BatchAligner, RandomMonotoneMaturitiesWithGapsNeverRaiseAndStayWithinTheirValues) {
    std::mt19937 random(20240611);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    int aligned = 0;
    for (int round = 0; round < 400; ++round) {
        const bool rising = round % 2 == 0;
        const NoExtrapolation option(round % 3 == 0);
        const auto batch = [&](int n, std::vector<float>& x, std::vector<float>& y) {
            float level = unit(random) * 3;
            for (int i = 0; i < n; ++i) {
                if (unit(random) < 0.7f) level += (rising ? 1 : -1) * unit(random);  // steps and repeats
                x.push_back(unit(random) < 0.2f ? M : level);
                y.push_back(unit(random) < 0.25f ? M : unit(random) * 50 - 25);
            }
        };
        std::vector<float> maturity, unused;
        std::vector<int> beginnings;
        for (int b = 0; b < 1 + round % 5; ++b) {
            beginnings.push_back(static_cast<int>(maturity.size()) + 1);
            batch(1 + static_cast<int>(unit(random) * 30), maturity, unused);
        }
        BatchAligner aligner;
        const NCDataVector<float> pooled = Vec(maturity);
        const NCIntegralVector<int, -99> starts = Ints(beginnings);
        aligner.Init(&pooled, &starts, round % 4 == 0);
        if (aligner.IsAscending() != rising) continue;  // flat or nearly empty batches read as rising
        ++aligned;
        std::vector<float> x, y;
        batch(static_cast<int>(unit(random) * 40), x, y);
        std::vector<float> out;
        ASSERT_NO_THROW(out = Align(aligner, y, x)) << "round " << round;
        ASSERT_EQ(static_cast<int>(out.size()), aligner.GetTimeMaturityVector()->size());
        float low = 0, high = 0;
        const bool any = Vec(y).GetMinMax(low, high);
        for (const float value : out) {
            if (value == M) continue;
            ASSERT_TRUE(any);
            EXPECT_GE(value, low - 1e-3f) << "round " << round;
            EXPECT_LE(value, high + 1e-3f) << "round " << round;
        }
    }
    EXPECT_GT(aligned, 300);
}

TEST(BatchAligner, AMaturityThatStepsBackRaisesAndLeavesTheOutput) {
    const BatchAligner rising = AlignerOn({1, 2, 3, 4});
    const BatchAligner falling = AlignerOn({4, 3, 2, 1});
    const std::vector<float> y{1, 2, 3, 4, 5};
    NCDataVector<float> out = Vec({7, 7});
    const std::vector<float> back{1, 2, 1.5f, 3, 4};
    try {
        rising.Align(y.data(), back.data(), 5, out);
        ADD_FAILURE() << "no error";
    } catch (const NCError& error) {
        EXPECT_STREQ(error.what(), "Data can not be aligned since the maturity isn't monotone.");
    }
    EXPECT_EQ(Values(&out), std::vector<float>({7, 7}));
    NCDataMatrix<float> matrix(5, 1, 1.0f), kept(2, 2, 3.0f);
    EXPECT_THROW(rising.Align(matrix, Vec(back), kept), NCError);
    EXPECT_EQ(kept, NCDataMatrix<float>(2, 2, 3.0f));
    EXPECT_THROW(falling.Align(y.data(), std::vector<float>{1, 2, 2, 3, 4}.data(), 5, out), NCError);
    // Equal neighbours and missing maturities are allowed.
    EXPECT_NO_THROW(rising.Align(y.data(), std::vector<float>{1, 2, 2, 3, 4}.data(), 5, out));
    EXPECT_NO_THROW(falling.Align(y.data(), std::vector<float>{5, M, 4, 4, 1}.data(), 5, out));
}

TEST(BatchAligner, GridSizeDirectionPicksAndMedianEnds) {
    // Batches of 10, 12, 12 and 30 rows: min(64 / 4, median length 12).
    std::vector<float> values(64);
    for (int i = 0; i < 64; ++i) values[i] = i + 1.0f;
    const NCDataVector<float> maturity = Vec(values);
    const NCIntegralVector<int, -99> beginnings = Ints({1, 11, 23, 35});
    bool ascending = false;
    EXPECT_EQ(BatchAligner::EstimateTimeMaturityVectorSize(&maturity, &beginnings, &ascending), 12);
    EXPECT_TRUE(ascending);
    BatchAligner aligner;
    aligner.Init(&maturity, &beginnings, false);
    // Positions (int)(k * 64/12 + 2), k = 0 … 11.
    EXPECT_EQ(Values(aligner.GetTimeMaturityVector()),
              std::vector<float>({3, 8, 13, 19, 24, 29, 35, 40, 45, 51, 56, 61}));
    EXPECT_EQ(aligner.GetStart(), 1.0f);
    EXPECT_EQ(aligner.GetEnd(), 64.0f);

    // Three batches that start at 0, 2, 1 and end at 4, 7, 4: picks 1, 2, 3, 4, 6, ends 1 and 4.
    const NCDataVector<float> runs = Vec({0, 1, 2, 3, 4, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4});
    const NCIntegralVector<int, -99> runStarts = Ints({1, 6, 12});
    EXPECT_EQ(BatchAligner::GetMedianStartPoint(&runs, &runStarts), 1.0f);
    EXPECT_EQ(BatchAligner::GetMedianEndPoint(&runs, &runStarts), 4.0f);
    aligner.Init(&runs, &runStarts, false);
    EXPECT_EQ(Values(aligner.GetTimeMaturityVector()), std::vector<float>({1, 2, 3, 4, 6}));
    aligner.Init(&runs, &runStarts, true);
    EXPECT_EQ(Values(aligner.GetTimeMaturityVector()), std::vector<float>({1, 2, 3, 4, 4}));

    // Repeated values give one grid point each; a falling maturity gives a falling grid, into
    // which its missing value is sorted last (a rising one sorts it first, where it is never picked).
    const NCDataVector<float> steps = Vec({5, 5, 5, M, 5, 4, 4, 4, 4, 4});
    const NCIntegralVector<int, -99> one = Ints({1});
    EXPECT_EQ(BatchAligner::EstimateTimeMaturityVectorSize(&steps, &one, &ascending), 10);
    EXPECT_FALSE(ascending);
    aligner.Init(&steps, &one, false);
    EXPECT_EQ(Values(aligner.GetTimeMaturityVector()), std::vector<float>({5, 4, M}));
    EXPECT_EQ(aligner.GetStart(), 5.0f);
    EXPECT_EQ(aligner.GetEnd(), M);
    const NCDataVector<float> rising = Vec({4, M, 4, 5, 5, 5, 5, 5, 6, 6});
    aligner.Init(&rising, &one, false);
    EXPECT_EQ(Values(aligner.GetTimeMaturityVector()), std::vector<float>({4, 5, 6}));
    EXPECT_EQ(aligner.GetStart(), M);
    EXPECT_EQ(aligner.GetEnd(), 6.0f);

    // Beginnings that do not cut the rows into batches give no grid.
    for (const auto& bad : {Ints({}), Ints({2, 5}), Ints({1, 5, 5}), Ints({1, 11}), Ints({1, 3, 2})}) {
        EXPECT_EQ(BatchAligner::EstimateTimeMaturityVectorSize(&steps, &bad, nullptr), 0);
        EXPECT_EQ(BatchAligner::GetMedianStartPoint(&steps, &bad), M);
        aligner.Init(&steps, &bad, true);
        ASSERT_NE(aligner.GetTimeMaturityVector(), nullptr);
        EXPECT_EQ(aligner.GetTimeMaturityVector()->size(), 0);
        EXPECT_EQ(aligner.GetStart(), M);
    }

    // The direction compares the sums of the batches' last and first values present.
    const NCDataVector<float> mixed = Vec({M, 9, 5, M, 8, 8.5f});
    const NCIntegralVector<int, -99> twoThenFour = Ints({2, 4}), fourThenTwo = Ints({4, 2});
    EXPECT_FALSE(BatchUtilities::IsAscending(&mixed, &fourThenTwo));  // 9 -> 5 and 8 -> 8.5
    EXPECT_TRUE(BatchUtilities::IsAscending(&mixed, &twoThenFour));   // a lone 9, then 5 -> 8.5
    EXPECT_TRUE(BatchUtilities::IsAscending(nullptr, nullptr));
}

TEST(BatchAligner, GapsEndsAndTheNoExtrapolationOption) {
    const BatchAligner aligner = AlignerOn({0, 1, 2, 3, 4, 5});
    // A grid value on a sample gives its value, one between samples the straight line, and one
    // beyond the batch its end value.
    EXPECT_EQ(Align(aligner, {10, 30, 40}, {1, 2, 4}), std::vector<float>({10, 10, 30, 35, 40, 40}));
    // Missing values are passed over; a missing maturity drops its pair.
    EXPECT_EQ(Align(aligner, {10, M, 30, 40}, {1, 2, 3, M}), std::vector<float>({10, 10, 20, 30, 30, 30}));
    // Missing last values: nothing to hold beyond the last value present.
    EXPECT_EQ(Align(aligner, {10, 20, M}, {1, 2, 3}), std::vector<float>({10, 10, 20, M, M, M}));
    // A grid value within 2^-23 (scaled) of a sample counts as that sample: here the sample's value
    // rather than -99 for lack of a value above it.
    const float nextToTwo = 2.0f + 2.0f / (1 << 23);
    const std::vector<float> nearly = Align(AlignerOn({1, nextToTwo, 3}), {10, 20, M}, {1, 2, 3});
    EXPECT_EQ(nearly[0], 10.0f);
    EXPECT_NEAR(nearly[1], 20.0f, 1e-5f);
    EXPECT_EQ(nearly[2], M);
    {
        const NoExtrapolation option(true);
        EXPECT_EQ(Align(aligner, {10, 30, 40}, {1, 2, 4}), std::vector<float>({M, 10, 30, 35, 40, M}));
    }
    EXPECT_EQ(Align(aligner, {10, 30}, {1, 2})[5], 30.0f);  // the option is off again
    // Too little to align: every grid value -99.
    const std::vector<float> none(6, M);
    EXPECT_EQ(Align(aligner, {1, 2, 3}, {M, M, M}), none);
    EXPECT_EQ(Align(aligner, {1, 2}, {M, 2}), none);
    EXPECT_EQ(Align(aligner, {}, {}), none);
    // Without a grid the output is empty; sizes that differ align the shorter length.
    EXPECT_TRUE(Align(BatchAligner(), {1, 2}, {1, 2}).empty());
    const std::unique_ptr<NCDataVector<float>> shorter(aligner.Align(Vec({10, 20, 99}), Vec({1, 2})));
    EXPECT_EQ(Values(shorter.get()), std::vector<float>({10, 10, 20, 20, 20, 20}));
    const std::unique_ptr<NCDataMatrix<float>> matrix(aligner.Align(NCDataMatrix<float>(3, 2, 5.0f), Vec({1, 2})));
    EXPECT_EQ(*matrix, NCDataMatrix<float>(6, 2, 5.0f));
}

TEST(BatchAligner, CopiesOwnTheirGridAndAReadReplacesIt) {
    const BatchAligner original = AlignerOn({9, 7, 4});
    BatchAligner copy(original);
    ASSERT_NE(copy.GetTimeMaturityVector(), original.GetTimeMaturityVector());
    EXPECT_EQ(Values(copy.GetTimeMaturityVector()), Values(original.GetTimeMaturityVector()));
    EXPECT_FALSE(copy.IsAscending());
    copy = BatchAligner();
    EXPECT_EQ(copy.GetTimeMaturityVector(), nullptr);
    EXPECT_TRUE(copy.IsAscending());

    // Reading a section without a grid takes the grid away (the golden files check every field).
    BatchAligner read = AlignerOn({1, 2});
    ASSERT_TRUE(nctest::ReadObject(nctest::WriteObject(BatchAligner()), read));
    EXPECT_EQ(read.GetTimeMaturityVector(), nullptr);
    EXPECT_EQ(read.GetStart(), M);
}
