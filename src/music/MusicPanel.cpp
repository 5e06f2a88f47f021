// Filled in by the panel work.
