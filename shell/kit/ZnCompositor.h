#pragma once

// Whether top-level windows may have a translucent background. On an X server
// without a compositing manager the transparent pixels of such a window come out
// black, so the shadowed frame falls back to an opaque one there.
class ZnCompositor
{
public:
    static bool translucentWindows();
};
