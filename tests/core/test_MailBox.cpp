#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/MailBox.h"
#include "support/LogCapture.h"

namespace {

// Records what it receives; optionally sends another message from inside.
class RecordingReceiver : public MessageReceiver {
public:
    explicit RecordingReceiver(std::string name) : name(std::move(name)) {}

    void handleMessage(Message message, MessagePayload* payload) override
    {
        received.push_back(message);
        payloads.push_back(payload);
        values.push_back(payload != nullptr ? payload->getInt() : -1);
        if (message == MESSAGE_PLAYER_RECEIVED_DAMAGE && sendDeathFromInside) {
            innerResult = MailBox::getInstance()->sendMessage(MESSAGE_PLAYER_DEAD, nullptr);
            // The outer payload is still alive while the inner one is delivered.
            valueAfterInnerSend = payload->getInt();
        }
    }
    const char* whoIsThere() override { return name.c_str(); }

    std::string name;
    std::vector<Message> received;
    std::vector<MessagePayload*> payloads;
    std::vector<int> values;
    bool sendDeathFromInside = false;
    bool innerResult = false;
    int valueAfterInnerSend = 0;
};

// Sets a flag when deleted, to see the bus release payloads.
class TrackedPayload : public MessagePayload {
public:
    explicit TrackedPayload(bool* deleted) : deleted(deleted) {}
    ~TrackedPayload() { *deleted = true; }

private:
    bool* deleted;
};

class MailBoxTest : public testing::Test {
protected:
    void SetUp() override { bus->clear(); }
    void TearDown() override { bus->clear(); }

    MessagePayload* intPayload(int value)
    {
        MessagePayload* payload = new MessagePayload;
        payload->setInt(value);
        return payload;
    }

    MailBox* bus = MailBox::getInstance();
};

} // namespace

TEST_F(MailBoxTest, OnlyTheFirstReceiverRegisteredForAKindIsCalled)
{
    RecordingReceiver first("first");
    RecordingReceiver second("second");
    bus->registerReceiver(&second, MESSAGE_LOAD_LEVEL);
    bus->registerReceiver(&first, MESSAGE_PLAY_GAME_SOUND);
    bus->registerReceiver(&second, MESSAGE_PLAY_GAME_SOUND);

    EXPECT_TRUE(bus->sendMessage(MESSAGE_PLAY_GAME_SOUND, intPayload(7)));
    EXPECT_EQ(first.values, std::vector<int>{7});
    EXPECT_TRUE(second.received.empty());
}

TEST_F(MailBoxTest, PayloadsAreDeletedAfterDeliveryAndWhenNobodyListens)
{
    RecordingReceiver receiver("r");
    bus->registerReceiver(&receiver, MESSAGE_PLAY_GAME_SOUND);

    bool delivered = false;
    EXPECT_TRUE(bus->sendMessage(MESSAGE_PLAY_GAME_SOUND, new TrackedPayload(&delivered)));
    EXPECT_TRUE(delivered);

    bool dropped = false;
    EXPECT_FALSE(bus->sendMessage(MESSAGE_ENEMY_RECEIVED_DAMAGE, new TrackedPayload(&dropped)));
    EXPECT_TRUE(dropped);
    EXPECT_EQ(receiver.received.size(), 1u);
}

TEST_F(MailBoxTest, ANullPayloadIsDeliveredAsNull)
{
    RecordingReceiver receiver("game");
    bus->registerReceiver(&receiver, MESSAGE_PLAYER_DEAD);
    EXPECT_TRUE(bus->sendMessage(MESSAGE_PLAYER_DEAD, nullptr));
    ASSERT_EQ(receiver.payloads.size(), 1u);
    EXPECT_EQ(receiver.payloads[0], nullptr);
}

TEST_F(MailBoxTest, AReceiverMaySendFromInsideItsHandler)
{
    RecordingReceiver game("game");
    game.sendDeathFromInside = true;
    bus->registerReceiver(&game, MESSAGE_PLAYER_RECEIVED_DAMAGE);
    bus->registerReceiver(&game, MESSAGE_PLAYER_DEAD);

    EXPECT_TRUE(bus->sendMessage(MESSAGE_PLAYER_RECEIVED_DAMAGE, intPayload(40)));
    EXPECT_TRUE(game.innerResult);
    EXPECT_EQ(game.valueAfterInnerSend, 40);
    EXPECT_EQ(game.received, (std::vector<Message>{MESSAGE_PLAYER_RECEIVED_DAMAGE, MESSAGE_PLAYER_DEAD}));
}

TEST_F(MailBoxTest, RemovingAReceiverDropsAllItsRegistrationsOnly)
{
    RecordingReceiver gone("gone");
    RecordingReceiver stays("stays");
    bus->registerReceiver(&gone, MESSAGE_LOAD_LEVEL);
    bus->registerReceiver(&stays, MESSAGE_LOAD_LEVEL);
    bus->registerReceiver(&gone, MESSAGE_PLAYER_DEAD);
    bus->removeReceiver(&gone);
    bus->removeReceiver(&gone);

    EXPECT_TRUE(bus->sendMessage(MESSAGE_LOAD_LEVEL, new MessagePayload));
    EXPECT_FALSE(bus->sendMessage(MESSAGE_PLAYER_DEAD, nullptr));
    EXPECT_TRUE(gone.received.empty());
    EXPECT_EQ(stays.received.size(), 1u);
}

TEST(MessagePayload, StartsEmptyAndKeepsWhatIsSet)
{
    MessagePayload payload;
    EXPECT_EQ(payload.getString(), "");
    EXPECT_EQ(payload.getInt(), 0);
    EXPECT_EQ(payload.getDouble(), 0.0);
    EXPECT_EQ(payload.getCustom(), nullptr);
    int target = 0;
    payload.setString("levels/level0.xml");
    payload.setInt(-3);
    payload.setDouble(2.5);
    payload.setCustom(&target);
    EXPECT_EQ(payload.getString(), "levels/level0.xml");
    EXPECT_EQ(payload.getInt(), -3);
    EXPECT_EQ(payload.getDouble(), 2.5);
    EXPECT_EQ(payload.getCustom(), &target);
}

TEST(MailBoxNames, KnownKindsHaveNamesAndOthersWarn)
{
    EXPECT_STREQ(MailBox::msgToStr(MESSAGE_PLAY_GAME_SOUND), "MESSAGE_PLAY_GAME_SOUND");
    EXPECT_STREQ(MailBox::msgToStr(MESSAGE_PLAYER_DEAD), "MESSAGE_PLAYER_DEAD");
    LogCapture log;
    EXPECT_STREQ(MailBox::msgToStr(MESSAGE_ENEMY_RECEIVED_DAMAGE), "Unknown message");
    EXPECT_TRUE(log.contains("[WARNING]"));
    EXPECT_TRUE(log.contains("Unknown message 4"));
}
