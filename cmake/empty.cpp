// Stands in for a layer that has no source file yet.
