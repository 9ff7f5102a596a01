// Replaced by the drive models.
