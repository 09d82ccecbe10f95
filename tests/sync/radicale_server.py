"""A real Radicale for the sync checks: on 127.0.0.1 with a port of its own choice, read
from its log, and one user of a plain htpasswd file."""
import os
import re
import subprocess
import sys
import time


def start_server(work, user, password):
    """Radicale with its files under work; returns the process and its port."""
    with open(os.path.join(work, "users"), "w") as f:
        f.write(f"{user}:{password}\n")
    config = os.path.join(work, "config")
    with open(config, "w") as f:
        f.write(f"[server]\nhosts = 127.0.0.1:0\n[auth]\ntype = htpasswd\n"
                f"htpasswd_filename = {work}/users\nhtpasswd_encryption = plain\n"
                f"[storage]\nfilesystem_folder = {work}/collections\n[logging]\nlevel = info\n")
    log = open(os.path.join(work, "radicale.log"), "w+")
    env = dict(os.environ, HOME=work)
    server = subprocess.Popen(["/usr/bin/python3", "-m", "radicale", "--config", config],
                              stdout=log, stderr=subprocess.STDOUT, env=env)
    for _ in range(100):
        log.seek(0)
        found = re.search(r"Listening on '\[127\.0\.0\.1\]:(\d+)'", log.read())
        if found:
            return server, int(found.group(1))
        time.sleep(0.1)
    server.kill()
    sys.exit("Radicale did not start: see " + log.name)
