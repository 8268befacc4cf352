// The receive folder's lock: a second run waits with its window responsive and takes the folder as
// soon as the first lets go; one that waits in vain says so.

#include "receiving/receive_folder_lock.h"
#include "support/scripted_prompter.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace kemnoa;

namespace {

class WaitingPrompter : public test::ScriptedPrompter {
public:
    std::function<void()> onEvents;
    int waits = 0; // calls of processEvents
    void processEvents() override {
        ++waits;
        if (onEvents)
            onEvents();
    }
};

TEST(ReceiveFolderLock, TheWaitKeepsTheWindowAliveAndEndsWhenTheFolderIsFree) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto first = std::make_unique<receiving::ReceiveFolderLock>(dir.path());
    WaitingPrompter prompter;
    ASSERT_TRUE(first->acquire(prompter, 0));

    receiving::ReceiveFolderLock second(dir.path());
    prompter.onEvents = [&] {
        if (prompter.waits == 3)
            first.reset(); // the first run ends while the second waits
    };
    EXPECT_TRUE(second.acquire(prompter, 30000));
    EXPECT_EQ(prompter.waits, 3);
    EXPECT_TRUE(prompter.messages().isEmpty());
}

TEST(ReceiveFolderLock, AWaitInVainSaysSo) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WaitingPrompter prompter;
    receiving::ReceiveFolderLock first(dir.path());
    ASSERT_TRUE(first.acquire(prompter, 0));
    receiving::ReceiveFolderLock second(dir.path());
    EXPECT_FALSE(second.acquire(prompter, 300));
    EXPECT_GE(prompter.waits, 2);
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_TRUE(prompter.messages().front().startsWith(QStringLiteral("[使用中] 受信フォルダ(")));
}

} // namespace
