#pragma once

// Registers the compiled-in style sheet and images; safe to call more than once.
void znInitResources();
