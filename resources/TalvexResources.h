#pragma once

// The editor's linked resources (pictures, bitmap fonts and their tables, the string-resource
// text file). Linking talvex::resources registers them with CEfEmbeddedFiles before main();
// calling this again is harmless (for programs that want the dependency spelled out).
extern "C" void TalvexResourcesRegister();
