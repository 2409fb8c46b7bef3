#include "fjcomm/containers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Fjarnis2011::FJComm::CTList;

namespace {

std::vector<int*> Walk(CTList<int*>& list) {
    std::vector<int*> out;
    if (list.IsEmpty()) return out;
    for (int* v = list.GetHead();; v = list.GetNext()) {
        out.push_back(v);
        if (list.IsLast()) break;
    }
    return out;
}

std::vector<int*> WalkBack(CTList<int*>& list) {
    std::vector<int*> out;
    if (list.IsEmpty()) return out;
    for (int* v = list.GetTail();; v = list.GetPrev()) {
        out.push_back(v);
        if (list.IsFirst()) break;
    }
    return out;
}

// A value that counts its deletions.
int g_deleted = 0;
struct Counted {
    ~Counted() { ++g_deleted; }
};

TEST(CTList, OperationsTable) {
    int a = 1, b = 2, c = 3;
    struct Step {
        const char* what;
        void (*run)(CTList<int*>&, int*, int*, int*);
        std::vector<int> expect;  // values in order
    };
    const Step steps[] = {
        {"AddTail a, b", [](CTList<int*>& l, int* a, int* b, int*) { l.AddTail(a); l.AddTail(b); }, {1, 2}},
        {"AddHead c", [](CTList<int*>& l, int*, int*, int* c) { l.AddHead(c); }, {3, 1, 2}},
        {"AddTail a again", [](CTList<int*>& l, int* a, int*, int*) { l.AddTail(a); }, {3, 1, 2, 1}},
        {"Remove a (held twice)", [](CTList<int*>& l, int* a, int*, int*) { l.Remove(a); }, {3, 2}},
        {"Remove a value not held", [](CTList<int*>& l, int* a, int*, int*) { l.Remove(a); }, {3, 2}},
        {"RemoveHead", [](CTList<int*>& l, int*, int*, int* c) { EXPECT_EQ(l.RemoveHead(), c); }, {2}},
        {"RemoveTail of the last", [](CTList<int*>& l, int*, int* b, int*) { EXPECT_EQ(l.RemoveTail(), b); }, {}},
        {"AddHead into empty", [](CTList<int*>& l, int* a, int*, int*) { l.AddHead(a); }, {1}},
    };
    CTList<int*> list;
    for (const Step& s : steps) {
        s.run(list, &a, &b, &c);
        std::vector<int> got, back;
        for (int* v : Walk(list)) got.push_back(*v);
        for (int* v : WalkBack(list)) back.insert(back.begin(), *v);
        EXPECT_EQ(got, s.expect) << s.what;
        EXPECT_EQ(back, s.expect) << s.what << " (walked from the tail)";
        EXPECT_EQ(list.GetNumEntries(), s.expect.size()) << s.what;
        EXPECT_EQ(list.IsEmpty(), s.expect.empty()) << s.what;
    }
}

TEST(CTList, CopyAndAssignmentMakeNewNodesForTheSameValues) {
    int a = 1, b = 2;
    CTList<int*> list;
    list.AddTail(&a);
    list.AddTail(&b);
    CTList<int*> copy(list);
    CTList<int*> assigned;
    assigned.AddTail(&b);
    assigned = list;
    assigned = assigned;  // self-assignment changes nothing
    list.RemoveHead();
    EXPECT_EQ(Walk(copy), (std::vector<int*>{&a, &b}));
    EXPECT_EQ(Walk(assigned), (std::vector<int*>{&a, &b}));
    EXPECT_EQ(copy.GetNumEntries(), 2u);
    EXPECT_EQ(Walk(list), (std::vector<int*>{&b}));
}

TEST(CTList, ClearDataAndRemoveDataDeleteEachValueOnce) {
    g_deleted = 0;
    CTList<Counted*> list;
    auto* x = new Counted;
    auto* y = new Counted;
    auto* z = new Counted;
    list.AddTail(x);
    list.AddTail(y);
    list.AddTail(x);  // held twice
    list.AddTail(z);
    list.RemoveData(z);
    EXPECT_EQ(g_deleted, 1);
    EXPECT_EQ(list.GetNumEntries(), 3u);
    list.ClearData();
    EXPECT_EQ(g_deleted, 3) << "x, held twice, is deleted once";
    EXPECT_TRUE(list.IsEmpty());

    auto* w = new Counted;
    list.AddTail(w);
    list.AddTail(w);
    list.RemoveData(w);
    EXPECT_EQ(g_deleted, 4);
    EXPECT_TRUE(list.IsEmpty());
    list.Clear();  // nodes only: nothing more deleted
    EXPECT_EQ(g_deleted, 4);
}

TEST(CTListDeathTest, ReadingPastTheContractStopsNamingWhatIsMissing) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    CTList<int*> empty;
    EXPECT_DEATH(empty.GetHead(), "head");
    EXPECT_DEATH(empty.GetTail(), "tail");
    EXPECT_DEATH(empty.GetNext(), "pos");
    int a = 1;
    CTList<int*> one;
    one.AddTail(&a);
    one.GetHead();
    EXPECT_DEATH(one.GetNext(), "pos") << "moving past the tail";
}

}  // namespace
