#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/TestStreams.h"
#include "varobs/SelectedLabel.h"

namespace {

std::vector<int> Positions(const NCIntegralVector<int, -99>& label) {
    return std::vector<int>(label.begin(), label.end());
}

}  // namespace

TEST(SelectedLabel, SelectionsTranslateIntoPositionsOfAnyAliasList) {
    SelectedLabel label;
    EXPECT_EQ(Positions(label.GetSelectedLongLabel({3, 1})), std::vector<int>{2});
    EXPECT_EQ(Positions(label.GetSelectedShortLabel({3, 1})), std::vector<int>{2});
    // Nothing selected in the list: position 1.
    EXPECT_EQ(Positions(label.GetSelectedLongLabel({5, 6})), std::vector<int>{1});

    label.SetSelected(4, {1, 2, 3, 4}, false);  // long label 1, 4
    EXPECT_EQ(Positions(label.GetSelectedLongLabel({1, 2, 3})), std::vector<int>{1});
    EXPECT_EQ(Positions(label.GetSelectedLongLabel({4, 1})), (std::vector<int>{2, 1}));
    EXPECT_EQ(Positions(label.GetSelectedShortLabel({4, 1})), std::vector<int>{2});

    // Removing the only other alias and then alias 1 leaves alias 1.
    label.SetSelected(1, {4}, false);
    label.SetSelected(1, {1}, false);
    EXPECT_EQ(Positions(label.GetSelectedLongLabel({2, 1})), std::vector<int>{2});

    SelectedLabel copy(label);
    copy.SetSelected(2, {1, 3}, true);
    EXPECT_EQ(Positions(copy.GetSelectedShortLabel({1, 3})), (std::vector<int>{1, 2}));
    EXPECT_EQ(Positions(label.GetSelectedShortLabel({1, 3})), std::vector<int>{1});
    label = copy;
    EXPECT_EQ(Positions(label.GetSelectedShortLabel({3})), std::vector<int>{1});
}

TEST(SelectedLabel, EveryToggleRaisesTheCounterAndTheSignal) {
    SelectedLabel label;
    std::vector<SelectedLabel*> seen;
    std::vector<unsigned> countsSeen;
    const boost::signals2::scoped_connection connection =
        SelectedLabel::msSelectedlabelChange.connect([&](SelectedLabel* changed) {
            seen.push_back(changed);
            countsSeen.push_back(SelectedLabel::GetVersionCount());  // handlers may read the counter
        });
    const unsigned before = SelectedLabel::GetVersionCount();

    label.SetSelected(1, {1}, false);  // toggles alias 1 off and back on
    EXPECT_EQ(Positions(label.GetSelectedLongLabel({1})), std::vector<int>{1});
    EXPECT_EQ(SelectedLabel::GetVersionCount(), before + 1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], &label);
    EXPECT_EQ(countsSeen[0], before + 1);

    label.SetSelected(0, {1}, true);
    label.SetSelected(2, {1}, true);
    EXPECT_EQ(SelectedLabel::GetVersionCount(), before + 1);
    EXPECT_EQ(seen.size(), 1u);
}

// Plain round trips, damaged copies and other versions are covered by the golden files and
// SectionVersionsTest.
TEST(SelectedLabel, ReadingReplacesTheProcessWideCounter) {
    SelectedLabel label;
    label.SetSelected(2, {1, 2, 3}, false);
    const unsigned written = SelectedLabel::GetVersionCount();
    const std::string bytes = nctest::WriteObject(label);

    SelectedLabel other;
    other.SetSelected(1, {1, 2}, false);
    ASSERT_NE(SelectedLabel::GetVersionCount(), written);
    ASSERT_TRUE(nctest::ReadObject(bytes, other));
    EXPECT_EQ(SelectedLabel::GetVersionCount(), written);
}
