// Placeholder translation unit while the library has no sources.
