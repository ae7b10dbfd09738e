"""The pieces of the local web server: requests, responses, the test site."""
