#include "fjcomm/FJCore/Mutex.h"

#include <gtest/gtest.h>

#include <future>
#include <stdexcept>
#include <thread>

using namespace Fjarnis2011::FJCore;

namespace {

TEST(WindowsMutex, CodesOfEachOperation) {
    WindowsMutex none;
    EXPECT_EQ(none.Lock(), ERROR_MUTEX_LOCK) << "no mutex created";
    EXPECT_EQ(none.Unlock(), ERROR_MUTEX_UNLOCK);
    EXPECT_EQ(none.Close(), ERROR_MUTEX_CLOSE);

    WindowsMutex m;
    ASSERT_EQ(m.Create(), ERROR_OK);
    // The owner may take it again; each Lock is matched by one Unlock.
    EXPECT_EQ(m.Lock(), ERROR_OK);
    EXPECT_EQ(m.Lock(), ERROR_OK);
    EXPECT_EQ(std::async(std::launch::async, [&] { return m.Unlock(); }).get(), ERROR_MUTEX_UNLOCK)
        << "only the owner releases it";
    EXPECT_EQ(m.Unlock(), ERROR_OK);
    EXPECT_EQ(m.Unlock(), ERROR_OK);
    EXPECT_EQ(m.Unlock(), ERROR_MUTEX_UNLOCK) << "not held any more";
    EXPECT_EQ(m.Close(), ERROR_OK);
    EXPECT_EQ(m.Close(), ERROR_MUTEX_CLOSE);
}

TEST(WindowsMutex, AbandonedMutexIsAFailedWaitThatStillTakesIt) {
    WindowsMutex m;
    ASSERT_EQ(m.Create(), ERROR_OK);
    std::thread([&] { EXPECT_EQ(m.Lock(), ERROR_OK); }).join();  // ends while owning it
    EXPECT_EQ(m.Lock(), ERROR_MUTEX_LOCK);
    EXPECT_EQ(m.Unlock(), ERROR_OK) << "the failed wait took it";
    EXPECT_EQ(m.Lock(), ERROR_OK) << "and it stays usable";
    EXPECT_EQ(m.Unlock(), ERROR_OK);
}

TEST(MutexHolder, CreatesReleasesAndScopedLockExcludes) {
    IMutex* made = reinterpret_cast<IMutex*>(0x1);
    ASSERT_EQ(CreateMutexInstance(&made), ERROR_OK);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Close(), ERROR_OK);
    delete made;
    EXPECT_EQ(CreateMutexInstance(nullptr), ERROR_MUTEX_CREATE);

    MutexHolder holder;
    ASSERT_TRUE(holder.IsValid());
    EXPECT_EQ(holder.Code(), ERROR_OK);

    long counter = 0;
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            ScopedLock lock(holder);
            ++counter;
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(counter, 40000);

    EXPECT_EQ(holder.Release(), ERROR_OK);
    EXPECT_FALSE(holder.IsValid());
    EXPECT_EQ(holder.Release(), ERROR_OK) << "nothing left to release";
    ScopedLock noop(holder);  // a holder without a mutex locks nothing
}

TEST(MutexHolder, ScopedLockReleasesDuringUnwinding) {
    MutexHolder holder;
    try {
        ScopedLock lock(holder);
        throw std::runtime_error("leave the scope");
    } catch (const std::runtime_error&) {
    }
    auto other = std::async(std::launch::async, [&] {
        ScopedLock lock(holder);
        return true;
    });
    ASSERT_EQ(other.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_TRUE(other.get());
}

}  // namespace
