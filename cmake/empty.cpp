// Placeholder translation unit while liborvanta has no sources of its own.
