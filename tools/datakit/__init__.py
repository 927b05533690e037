"""Shared helpers of the data builders under tools/: npm inputs and the ETOPO5 relief grid."""
