// Filled in by the tray work.
