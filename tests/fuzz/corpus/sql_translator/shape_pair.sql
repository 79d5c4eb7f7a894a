Insert Into T (a, b) values(1, 'x')
Insert Into T (a, b) values(25, 'it''s')