#pragma once

// The pictures live in the windows library, a static one, so the linker drops them unless
// someone asks for them. Every window that shows one calls this first; calling it again is free.
void loadResources();
