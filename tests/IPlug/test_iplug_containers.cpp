#include "IPlug/Containers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace
{
struct Tracked
{
  Tracked(int id, std::vector<int>* log) : mId(id), mLog(log) {}
  ~Tracked() { mLog->push_back(mId); }
  int mId;
  std::vector<int>* mLog;
};
} // namespace

TEST(PtrList, GetOutsideTheListIsNullAndEmptyDeletesLastToFirst)
{
  std::vector<int> deleted;
  WDL_PtrList<Tracked> list;
  for (int i = 0; i < 3; ++i)
    list.Add(new Tracked(i, &deleted));
  EXPECT_EQ(list.GetSize(), 3);
  EXPECT_EQ(list.Get(1)->mId, 1);
  EXPECT_EQ(list.Get(-1), nullptr);
  EXPECT_EQ(list.Get(3), nullptr);
  EXPECT_EQ(list.Find(list.Get(2)), 2);

  list.Empty(true);
  EXPECT_EQ(deleted, (std::vector<int>{2, 1, 0}));
  EXPECT_EQ(list.GetSize(), 0);
}

TEST(PtrList, DeleteKeepsOrderAndDestructionDeletesWhatIsLeft)
{
  std::vector<int> deleted;
  Tracked* keptByCaller = nullptr;
  {
    WDL_PtrList<Tracked> list;
    for (int i = 0; i < 4; ++i)
      list.Add(new Tracked(i, &deleted));
    list.Delete(1, true);
    EXPECT_EQ(deleted, (std::vector<int>{1}));
    keptByCaller = list.Get(0);
    list.Delete(0); // handed back to the caller
    list.Delete(7, true);
    ASSERT_EQ(list.GetSize(), 2);
    EXPECT_EQ(list.Get(0)->mId, 2);
    EXPECT_EQ(list.Get(1)->mId, 3);
  }
  EXPECT_EQ(deleted, (std::vector<int>{1, 3, 2}));
  delete keptByCaller;
}

TEST(String, SetAppendAndLimits)
{
  WDL_String s;
  EXPECT_STREQ(s.Get(), "");
  s.Set("hello");
  s.Append(" world", 3);
  EXPECT_STREQ(s.Get(), "hello wo");
  EXPECT_EQ(s.GetLength(), 8);
  s.Set(nullptr);
  EXPECT_STREQ(s.Get(), "");

  // With a limit the source need not be terminated within it.
  const char unterminated[4] = {'a', 'b', 'c', 'd'};
  s.Set(unterminated, 3);
  EXPECT_STREQ(s.Get(), "abc");
  const char early[4] = {'x', '\0', 'y', 'z'};
  s.Set(early, 4);
  EXPECT_STREQ(s.Get(), "x");

  s.SetFormatted(5, "%d-%s", 1234, "abc");
  EXPECT_STREQ(s.Get(), "1234-");

  WDL_String copy(s);
  s.Set("changed");
  EXPECT_STREQ(copy.Get(), "1234-");
}

TEST(TypedBuf, ResizeZeroFillsAndKeepsContents)
{
  WDL_TypedBuf<double> buf;
  EXPECT_EQ(buf.Get(), nullptr);
  buf.Resize(3);
  buf.Get()[0] = 1.5;
  buf.Resize(5);
  EXPECT_EQ(buf.GetSize(), 5);
  EXPECT_EQ(buf.Get()[0], 1.5);
  EXPECT_EQ(buf.Get()[4], 0.0);
  buf.Resize(-2);
  EXPECT_EQ(buf.GetSize(), 0);

  WDL_HeapBuf heap;
  heap.Resize(16);
  EXPECT_EQ(heap.GetSize(), 16);
  EXPECT_EQ(static_cast<unsigned char*>(heap.Get())[15], 0);
}

TEST(Mutex, RecursiveForItsOwnerAndExclusiveAcrossThreads)
{
  WDL_Mutex mutex;
  std::atomic<bool> otherEntered{false};
  mutex.Enter();
  mutex.Enter(); // the owner enters again without blocking
  std::thread other(
      [&]
      {
        WDL_MutexLock lock(&mutex);
        otherEntered = true;
      });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(otherEntered);
  mutex.Leave();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(otherEntered); // still held once
  mutex.Leave();
  other.join();
  EXPECT_TRUE(otherEntered);

  WDL_MutexLock nothing(nullptr); // a null mutex is allowed and locks nothing
}

TEST(Mutex, CountsStayBalancedUnderContention)
{
  WDL_Mutex mutex;
  long counter = 0;
  auto work = [&]
  {
    for (int i = 0; i < 20000; ++i)
    {
      WDL_MutexLock outer(&mutex);
      WDL_MutexLock inner(&mutex);
      ++counter;
    }
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_EQ(counter, 40000);
}
