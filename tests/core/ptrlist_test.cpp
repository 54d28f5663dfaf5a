#include "effect/feature.h"
#include "effect/ptrlist.h"

#include <gtest/gtest.h>

using namespace Zorv;

namespace {

struct Counted : Named {
    explicit Counted(const char* name, int* deaths) : Named(name), deaths(deaths) {}
    ~Counted() override { ++*deaths; }
    int* deaths;
};

}  // namespace

TEST(PtrList, GrowsBy32AndKeepsEntries)
{
    PtrList<Named> list;
    Named items[33];
    for (int i = 0; i < 32; ++i)
        list.add(&items[i]);
    EXPECT_EQ(list.getCapacity(), 32);
    list.add(&items[32]);
    EXPECT_EQ(list.getCapacity(), 64);
    EXPECT_EQ(list.getCount(), 33);
    for (int i = 0; i < 33; ++i)
        EXPECT_EQ(list.get(i), &items[i]);
}

TEST(PtrList, SetCountCopyAndFind)
{
    Named a("alpha"), b("beta");
    PtrList<Named> list;
    list.setCount(3, nullptr);
    EXPECT_EQ(list.getCapacity(), 3);
    list.set(2, &b);
    list.set(1, &a);
    EXPECT_EQ(list.find("beta"), &b);
    EXPECT_EQ(list.find("Beta"), nullptr);
    list.setCount(-1);
    EXPECT_EQ(list.getCount(), 3);

    PtrList<Named> copy;
    copy.copyFrom(list);
    copy.copyFrom(copy);
    EXPECT_EQ(copy.getCount(), 3);
    EXPECT_EQ(copy.get(1), &a);
    list.clear();
    EXPECT_TRUE(list.isEmpty());
}

TEST(PtrMgr, DeletesItsEntriesOnClearAndDestruction)
{
    int deaths = 0;
    {
        PtrMgr<Counted> owner;
        owner.add(new Counted("one", &deaths));
        owner.add(nullptr);
        owner.add(new Counted("two", &deaths));
        owner.clear();
        EXPECT_EQ(deaths, 2);
        owner.add(new Counted("three", &deaths));
    }
    EXPECT_EQ(deaths, 3);
}

TEST(Features, BindOnlyByNameAndValueType)
{
    std::atomic<double> level{0.25};
    GFeatureMgr features;
    features.add(new GTypedFeature<double>("Meter", &level));
    EXPECT_EQ(findFeatureValue<double>(features, "Meter"), &level);
    EXPECT_EQ(findFeatureValue<int>(features, "Meter"), nullptr);
    EXPECT_EQ(findFeatureValue<double>(features, "meter"), nullptr);
    EXPECT_EQ(findFeatureValue<double>(features, "NULL"), nullptr);
    EXPECT_EQ(findFeatureValue<double>(features, nullptr), nullptr);
}
