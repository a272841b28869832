#pragma once

#include <string>

// The XML reader recurses once per nesting level while it parses and again while it
// frees the tree, so a body nested deep enough would overflow the receive thread's
// stack. This scan finds that depth first, without building anything.
class ZnXmlNesting
{
public:
    static constexpr int kDefaultLimit = 256;

    // The deepest element nesting of the text; markup inside comments, CDATA,
    // declarations and quoted attribute values does not count.
    static int depth(const std::string& xml);
    static bool within(const std::string& xml, int limit = kDefaultLimit) { return depth(xml) <= limit; }
};
