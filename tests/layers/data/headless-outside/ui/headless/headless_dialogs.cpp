// The headless dialogs.
