# Packaging and desktop install rules.
