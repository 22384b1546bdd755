#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "interfaces/utility/ValuePtr.h"

namespace {

// Counts live objects so that a lost or doubly destroyed object shows.
struct Counted {
    explicit Counted(std::string text) : text(std::move(text)) { ++live; }
    Counted(const Counted& other) : text(other.text) { ++live; }
    virtual ~Counted() { --live; }
    virtual std::string Kind() const { return "base"; }

    std::string text;
    static int live;
};
int Counted::live = 0;

struct Derived : Counted {
    using Counted::Counted;
    std::string Kind() const override { return "derived"; }
};

TEST(ValuePtrTest, EveryValueOwnsItsOwnObjectOfTheTypeHandedOver) {
    {
        nc::ValuePtr<Counted> original(std::make_unique<Counted>("one"));
        nc::ValuePtr<Counted> copy(original);
        ASSERT_TRUE(copy);
        EXPECT_NE(copy.get(), original.get());
        copy->text = "changed";
        EXPECT_EQ(original->text, "one");
        EXPECT_EQ(Counted::live, 2);

        nc::ValuePtr<Counted> empty;
        copy = empty;
        EXPECT_FALSE(copy);
        EXPECT_EQ(Counted::live, 1);
        EXPECT_FALSE(nc::ValuePtr<Counted>(empty));

        empty = original;
        EXPECT_EQ(empty->text, "one");
        EXPECT_NE(empty.get(), original.get());
        nc::ValuePtr<Counted> moved(std::move(empty));
        EXPECT_EQ(moved->text, "one");
        EXPECT_EQ(Counted::live, 2);

        const nc::ValuePtr<Counted>& same = moved;
        moved = same;
        ASSERT_TRUE(moved);
        EXPECT_EQ(moved->text, "one");
        EXPECT_EQ(Counted::live, 2);
        moved.reset(std::make_unique<Counted>("second"));
        EXPECT_EQ(moved->text, "second");
        EXPECT_EQ(Counted::live, 2);
        moved.reset();
        EXPECT_FALSE(moved);
        EXPECT_EQ(Counted::live, 1);

        // A copy has the type that was handed over, not the declared one.
        const nc::ValuePtr<Counted> derived(std::make_unique<Derived>("d"));
        const nc::ValuePtr<Counted> derivedCopy(derived);
        EXPECT_EQ(derivedCopy->Kind(), "derived");
        EXPECT_EQ(derivedCopy->text, "d");
    }
    EXPECT_EQ(Counted::live, 0);
}

}  // namespace
