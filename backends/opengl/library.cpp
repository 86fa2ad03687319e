// Placeholder: the OpenGL backend issue fills this library; until then it exports nothing.
