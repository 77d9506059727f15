#include "core/MessagePayload.h"

MessagePayload::MessagePayload() : record(new Record) {}

MessagePayload::~MessagePayload()
{
    delete record;
}

void MessagePayload::setString(const std::string& value)
{
    record->stringValue = value;
}

std::string MessagePayload::getString() const
{
    return record->stringValue;
}

void MessagePayload::setInt(int value)
{
    record->intValue = value;
}

int MessagePayload::getInt() const
{
    return record->intValue;
}

void MessagePayload::setDouble(double value)
{
    record->doubleValue = value;
}

double MessagePayload::getDouble() const
{
    return record->doubleValue;
}

void MessagePayload::setCustom(void* value)
{
    record->custom = value;
}

void* MessagePayload::getCustom() const
{
    return record->custom;
}
