// Placeholder until this unit is implemented.
