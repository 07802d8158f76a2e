# The conditions service.

# METAR reports and documents.

# Places, time zones, sun and moon times.

# The server.
