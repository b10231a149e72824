// The resources are compiled into this library; the translation unit only gives the library a body.
