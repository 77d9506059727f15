#include "core/AttributeValidator.h"

#include <algorithm>

void AttributeValidator::add(const std::string& name)
{
    missing.push_back(name);
}

void AttributeValidator::check(const std::string& name)
{
    const auto found = std::find(missing.begin(), missing.end(), name);
    if (found != missing.end())
        missing.erase(found);
}

int AttributeValidator::getNumMissingAttributes() const
{
    return static_cast<int>(missing.size());
}

std::string AttributeValidator::getMissingAttribute(int i) const
{
    if (i < 0 || i >= getNumMissingAttributes())
        return "unknown";
    return missing[static_cast<size_t>(i)];
}

void AttributeValidator::clear()
{
    missing.clear();
}
