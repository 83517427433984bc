// The precompiled headers' targets compile nothing of their own.
