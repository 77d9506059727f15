#pragma once

#include <string>

// The values a message carries. Senders fill a new payload and hand it to the
// bus, which deletes it after delivery; receivers read it and keep nothing.
// The custom pointer belongs to the sender, never to the payload.
class MessagePayload {
public:
    MessagePayload();
    virtual ~MessagePayload();
    MessagePayload(const MessagePayload&) = delete;
    MessagePayload& operator=(const MessagePayload&) = delete;

    void setString(const std::string& value);
    std::string getString() const;
    void setInt(int value);
    int getInt() const;
    void setDouble(double value);
    double getDouble() const;
    void setCustom(void* value);
    void* getCustom() const;

private:
    struct Record {
        std::string stringValue;
        int intValue = 0;
        double doubleValue = 0.0;
        void* custom = nullptr;
    };
    Record* record;
};
