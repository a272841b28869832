// The nesting check against the XML reader itself over arbitrary bytes: whatever
// the check lets through, the reader never builds (and so never recursed into) a
// tree deeper than the check counted, read as UTF-8 or as it finds it.
#include "FuzzCheck.h"
#include "ZnXmlNesting.h"

#include <algorithm>

namespace {
// Depth of the deepest element, walked without recursion.
int treeDepth(const TiXmlNode& doc)
{
    int deepest = 0;
    int depth = 0;
    const TiXmlNode* node = doc.FirstChild();
    while (node) {
        if (node->ToElement())
            deepest = std::max(deepest, depth + 1);
        if (node->FirstChild()) {
            node = node->FirstChild();
            ++depth;
            continue;
        }
        while (node && !node->NextSibling() && node->Parent() != &doc) {
            node = node->Parent();
            --depth;
        }
        node = node ? node->NextSibling() : nullptr;
    }
    return deepest;
}
}

FUZZ_TARGET(input)
{
    const int allowed = ZnXmlNesting::depth(input);
    FUZZ_CHECK(allowed >= 0);
    if (!ZnXmlNesting::within(input))
        return;
    for (TiXmlEncoding encoding : {TIXML_DEFAULT_ENCODING, TIXML_ENCODING_UTF8}) {
        TiXmlDocument doc;
        ZnXmlNesting::parse(doc, input, encoding);
        FUZZ_CHECK(treeDepth(doc) <= allowed);
    }
}
