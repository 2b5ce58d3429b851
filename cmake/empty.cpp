// placeholder translation unit for a library that has no sources yet
