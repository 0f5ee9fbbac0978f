// The module's load-time entry point (placeholder until the module lands).
