// The users of an audio output, as every back-end counts them: the device opens for the first
// and closes after the last; a failed first open counts no one.
#include <gtest/gtest.h>

#include "platform/OpenCount.h"

using platform::OpenCount;

namespace {

// An output as the back-ends drive their count: the device opens when no one holds it.
struct Output {
    OpenCount users;
    bool deviceWorks = true;
    int deviceOpens = 0, deviceCloses = 0;

    bool open() {
        if (users.join()) return true;
        if (!deviceWorks) return false;
        ++deviceOpens;
        users.opened();
        return true;
    }
    void close() {
        if (users.leave()) ++deviceCloses;
    }
    void destroy() {
        if (users.leaveAll()) ++deviceCloses;
    }
};

}  // namespace

TEST(OpenCount, TheDeviceOpensForTheFirstUserAndClosesAfterTheLast) {
    Output out;
    EXPECT_FALSE(out.users.isOpen());
    ASSERT_TRUE(out.open());
    ASSERT_TRUE(out.open());
    ASSERT_TRUE(out.open());
    EXPECT_EQ(out.deviceOpens, 1);

    out.close();
    out.close();
    EXPECT_TRUE(out.users.isOpen());
    EXPECT_EQ(out.deviceCloses, 0);
    out.close();
    EXPECT_FALSE(out.users.isOpen());
    EXPECT_EQ(out.deviceCloses, 1);

    // Closing a closed output does nothing; opening it again opens the device again.
    out.close();
    EXPECT_EQ(out.deviceCloses, 1);
    ASSERT_TRUE(out.open());
    EXPECT_EQ(out.deviceOpens, 2);
    out.close();
    EXPECT_EQ(out.deviceCloses, 2);
}

TEST(OpenCount, AFailedOpenCountsNoOne) {
    Output out;
    out.deviceWorks = false;
    EXPECT_FALSE(out.open());
    EXPECT_FALSE(out.users.isOpen());
    out.close();
    EXPECT_EQ(out.deviceCloses, 0);

    // The next try that works is the first user.
    out.deviceWorks = true;
    ASSERT_TRUE(out.open());
    out.close();
    EXPECT_FALSE(out.users.isOpen());
    EXPECT_EQ(out.deviceCloses, 1);
}

TEST(OpenCount, GoingAwayClosesAnOpenDeviceOnceWhateverItsUsers) {
    Output held;
    held.open();
    held.open();
    held.destroy();
    EXPECT_FALSE(held.users.isOpen());
    EXPECT_EQ(held.deviceCloses, 1);

    Output closed;
    closed.open();
    closed.close();
    closed.destroy();
    EXPECT_EQ(closed.deviceCloses, 1);

    Output never;
    never.destroy();
    EXPECT_EQ(never.deviceCloses, 0);
}
