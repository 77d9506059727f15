#pragma once

#include <string>
#include <vector>

// Bookkeeping for an XML element's required attributes: the reader adds each
// required name, checks off the ones it meets, and reports what is left.
// A missing attribute is reported, never fatal.
class AttributeValidator {
public:
    AttributeValidator() = default;

    void add(const std::string& name);
    // Marks the first entry of that name as present.
    void check(const std::string& name);
    int getNumMissingAttributes() const;
    // Entry i in add order, or "unknown" when i is out of range.
    std::string getMissingAttribute(int i) const;
    void clear();

private:
    std::vector<std::string> missing;
};
