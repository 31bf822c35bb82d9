// A display unit.
