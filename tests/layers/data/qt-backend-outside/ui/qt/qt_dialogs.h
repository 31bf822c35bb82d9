// The Qt dialogs.
