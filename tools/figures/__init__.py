"""The sections of `make figures`, one a file; __main__.py runs them and says what each holds."""
