// A display header.
