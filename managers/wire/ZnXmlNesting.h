#pragma once

#include <tinyxml.h>

#include <climits>
#include <string>

// The XML reader recurses once per nesting level while it parses and again while it
// frees the tree, so a body nested deep enough would overflow the receive thread's
// stack. This scan finds that depth first, without building anything.
class ZnXmlNesting
{
public:
    static constexpr int kDefaultLimit = 256;

    // The deepest element nesting the reader reaches in the text, read as it reads
    // it, whether or not it is asked for UTF-8.
    // Counting stops at stopAt: a body nested past the limit is refused without
    // walking the rest of it.
    static int depth(const std::string& xml, int stopAt = INT_MAX);
    static bool within(const std::string& xml, int limit = kDefaultLimit) { return depth(xml, limit + 1) <= limit; }

    // Parses into doc; false on a parse error. The reader steps up to three bytes
    // past the end of a text cut inside a UTF-8 character, so it reads a padded copy.
    static bool parse(TiXmlDocument& doc, const std::string& xml, TiXmlEncoding encoding = TIXML_DEFAULT_ENCODING);
};
