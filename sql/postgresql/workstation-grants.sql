-- The workstations' rights on one of the four databases: reading and writing rows, drawing PO
-- numbers, and nothing more (no tables of their own, no temporary tables, no change to the layout's
-- version record). Run it in each database as the owner role, after init-db has created the tables:
--   psql -U kemnoa_owner -d kemwork -v ON_ERROR_STOP=1 -v users=kemnoa_users -f workstation-grants.sql
-- users names the group role of the workstations' login roles.

REVOKE ALL ON DATABASE :"DBNAME" FROM PUBLIC;
GRANT CONNECT ON DATABASE :"DBNAME" TO :"users";
REVOKE CREATE ON SCHEMA public FROM PUBLIC;
GRANT USAGE ON SCHEMA public TO :"users";

GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO :"users";
-- Only init-db, as the owner, records the version of the tables' layout.
REVOKE INSERT, UPDATE, DELETE ON kemnoa_schema FROM :"users";
-- PO numbers are drawn with nextval from the PO database's sequences; identity columns need no grant.
GRANT USAGE ON ALL SEQUENCES IN SCHEMA public TO :"users";

-- Tables and sequences a later init-db adds get the same rights.
ALTER DEFAULT PRIVILEGES IN SCHEMA public GRANT SELECT, INSERT, UPDATE, DELETE ON TABLES TO :"users";
ALTER DEFAULT PRIVILEGES IN SCHEMA public GRANT USAGE ON SEQUENCES TO :"users";
